#include "ui/grid_setup/Grid_Setup.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/app/PictureFileDialog.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "core/common/PictureSize.h"
#include "core/geometry/SetupValidation.h"
#include "core/grid_setup/BuoyPlacement.h"
#include "core/grid_setup/GridEntryFields.h"
#include "core/grid_setup/GridFileCommands.h"
#include "ui/common/AccuracyMapSwitch.h"
#include "ui/grid_setup/BuoySnapSwitch.h"
#include "ui/common/ArrowKeyPoller.h"
#include "ui/common/DragHandle.h"
#include "ui/common/Maximized.h"
#include "ui/common/Named.h"
#include "ui/common/PictureView.h"
#include "ui/grid_setup/AccuracyPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace skelvin {

namespace {

const QString kNotSetUpIcon = QStringLiteral("msgbox03.ico");
const QString kSetUpIcon = QStringLiteral("face02.ico");

QString text(const char *latin)
{
    return QString::fromLatin1(latin);
}

} // namespace

Grid_Setup::Grid_Setup(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("Grid_Setup"));
    setWindowTitle(QStringLiteral("Grid Setup"));
    buildControls();
    buildMenu();
    showMaximizedWhenShown(this);

    auto *keys = new ArrowKeyPoller(this);
    connect(keys, &ArrowKeyPoller::stepped, this, [this](ArrowKey key) {
        const auto [dx, dy] = ArrowKeyState::step(key, 15);
        nudge(dx, dy);
    });

    // First load: nothing set up, accuracy check off, no hint.
    m_context.grids().resetAllGridsReady();
    setStateIcon(kNotSetUpIcon);
    setAccuracyEnabled(false);
    m_lblCB->hide();
    setLocked(false);
}

Grid_Setup::~Grid_Setup() = default;

// A number put in by the program (a mark, a loaded file) is shown from its first digit: a long
// fraction would otherwise show only its last digits, which read as another number.
void Grid_Setup::putText(QLineEdit *edit, const QString &value)
{
    edit->setText(value);
    edit->setCursorPosition(0);
}

QLineEdit *Grid_Setup::field(const char *name, const QString &initial)
{
    auto *edit = named(new QLineEdit(initial), name);
    const QString key = text(name);
    m_fields.insert(key, edit);
    // A value longer than its box can still be read whole.
    edit->setToolTip(initial);
    connect(edit, &QLineEdit::textChanged, edit, &QLineEdit::setToolTip);
    return edit;
}

QLineEdit *Grid_Setup::entryField(const char *name, const QString &notEntered)
{
    QLineEdit *edit = field(name, notEntered);
    const QString key = text(name);
    // Positions and survey values may be negative and fractional. An empty check buoy position
    // shows "auto" after a file without check buoy.
    const QStringList programWords{notEntered.isEmpty() ? QStringLiteral("auto") : notEntered};
    edit->setValidator(new NumberEntryValidator(NumberEntry::SignedFraction, programWords, edit));
    connect(edit, &QLineEdit::textChanged, this, [this, key, edit, notEntered](const QString &t) {
        // Text that is no number reads as 0: it shows in a warning colour at once.
        const bool wrong = entryTextIsWrong(t, notEntered);
        edit->setProperty("entryWrong", wrong);
        edit->setStyleSheet(wrong ? QStringLiteral("QLineEdit { background: #ffb8b8; }")
                                  : QString());
        fieldChanged(key, t);
    });
    // Typing into a field replaces what it shows ("input", "auto"), however it got the focus.
    edit->installEventFilter(this);
    return edit;
}

bool Grid_Setup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, event);
}

void Grid_Setup::buildControls()
{
    auto *layout = new QHBoxLayout(this);
    m_picture = named(new PictureView, "Picture1");
    m_picture->setMagnifierOffered(true);
    m_accuracyMap = new AccuracyMapSwitch(m_context, *m_picture);
    layout->addWidget(m_picture, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(buildFields());
    side->addWidget(buildTools());
    side->addStretch();
    layout->addLayout(side);

    connect(m_picture, &PictureView::mousePressed, this,
            [this](ScreenPoint p, Qt::MouseButton) { pressOnPicture(p); });
    m_lblCB = named(new QLabel(QStringLiteral("<-Check Buoy Should Be Here"), m_picture->canvas()), "lblCB");
    QPalette hint = m_lblCB->palette();
    hint.setColor(QPalette::WindowText, Qt::yellow);
    m_lblCB->setPalette(hint);
}

QWidget *Grid_Setup::buildFields()
{
    auto *box = new QWidget;
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *grid = new QGridLayout(box);
    // Each value shows whole: a screen position with the precision a mark or a grid file gives
    // it ("13336.1016648051"), a survey value as surveyors write it.
    const int frame = 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    const int screenWidth =
        box->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0000000000")) + frame;
    const int surveyWidth =
        box->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000000")) + frame;
    grid->setContentsMargins(0, 0, 0, 0);

    auto *selection = named(new QGroupBox(QStringLiteral("Grid Point Selection")), "Frame1");
    auto *options = new QVBoxLayout(selection);
    options->setSpacing(2);
    grid->addWidget(selection, 0, 0, 6, 1);
    grid->addWidget(new QLabel(QStringLiteral("Screen x")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Screen y")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Survey X")), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Survey Y")), 0, 4);

    int row = 1;
    for (const BuoyFieldRow &r : buoyFieldRows()) {
        auto *option = named(new QRadioButton(text(r.caption)), r.option);
        // The arrow keys must reach the key timer, not move between the options.
        option->setFocusPolicy(Qt::NoFocus);
        options->addWidget(option);
        m_buoyOptions.insert(static_cast<int>(r.buoy), option);
        for (int c = 0; c < 4; ++c) {
            QLineEdit *edit = entryField(r.fields[c], text(r.initial[c]));
            edit->setFixedWidth(c < 2 ? screenWidth : surveyWidth);
            grid->addWidget(edit, row, c + 1);
            // The screen fields are filled by clicks on the picture; Tab passes them by.
            if (c < 2)
                edit->setFocusPolicy(Qt::ClickFocus);
        }
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("Jump")), row, 1, 1, 2, Qt::AlignRight);
    for (const auto &[name, initial, column] :
         {std::tuple{"jump_x", "jump x", 3}, std::tuple{"jump_y", "jump y", 4}}) {
        QLineEdit *edit = entryField(name, text(initial));
        edit->setFixedWidth(surveyWidth);
        grid->addWidget(edit, row, column);
    }
    ++row;

    // Tab goes down the Survey X column (the corners, the check buoy, the jump), then down the
    // Survey Y column, as the surveyed values are usually read off a list.
    QWidget *previous = nullptr;
    for (int axis = 2; axis < 4; ++axis) {
        QStringList column;
        for (const BuoyFieldRow &r : buoyFieldRows())
            column << text(r.fields[axis]);
        column << (axis == 2 ? QStringLiteral("jump_x") : QStringLiteral("jump_y"));
        for (const QString &name : column) {
            QWidget *next = m_fields.value(name);
            if (previous)
                QWidget::setTabOrder(previous, next);
            previous = next;
        }
    }
    grid->addWidget(field("ipt_file_description", QStringLiteral("No File")), row++, 0, 1, 5);
    grid->addWidget(field("ipt_file_description_2", QString()), row++, 0, 1, 5);
    // Empty until a picture is taken in; then its size in whole twips (the checks keep the
    // exact value).
    m_txtPicWidth = field("txtPicWidth", QString());
    m_txtPicHeight = field("txtPicHeight", QString());
    m_txtPicWidth->setReadOnly(true);
    m_txtPicHeight->setReadOnly(true);
    m_txtPicWidth->setPlaceholderText(QStringLiteral("no picture"));
    m_txtPicHeight->setPlaceholderText(QStringLiteral("no picture"));
    grid->addWidget(new QLabel(QStringLiteral("Picture twips")), row, 0);
    grid->addWidget(m_txtPicWidth, row, 1, 1, 2);
    grid->addWidget(m_txtPicHeight, row, 3, 1, 2);
    ++row;
    m_lblCompleteStatus = named(new QLabel, "lblCompleteStatus");
    m_lblCompleteStatus->setWordWrap(true);
    QFont bold = m_lblCompleteStatus->font();
    bold.setBold(true);
    m_lblCompleteStatus->setFont(bold);
    // Room for two lines at all times, so the controls below never jump.
    m_lblCompleteStatus->setFixedHeight(2 * m_lblCompleteStatus->fontMetrics().lineSpacing() + 4);
    grid->addWidget(m_lblCompleteStatus, row, 0, 1, 5);
    return box;
}

QWidget *Grid_Setup::buildTools()
{
    // Placed freely so that the drag handles can move their groups.
    auto *panel = new QWidget;
    panel->setFixedSize(440, 330);

    auto *complete = named(new QPushButton(QStringLiteral("Complete"), panel), "Load");
    complete->setGeometry(4, 4, 140, 30);
    connect(complete, &QPushButton::clicked, this, &Grid_Setup::Load_Click);
    m_gridSelect = named(new QPushButton(QStringLiteral("Grid 1"), panel), "grid_select");
    m_gridSelect->setGeometry(150, 4, 100, 30);
    connect(m_gridSelect, &QPushButton::clicked, this, &Grid_Setup::grid_select_Click);
    m_stateIcon = named(new QLabel(panel), "grid_state_icon");
    m_stateIcon->setGeometry(260, 2, 36, 36);
    auto *draw = named(new QPushButton(QStringLiteral("Draw Buoys"), panel), "show_alignment");
    draw->setGeometry(304, 4, 130, 30);
    connect(draw, &QPushButton::clicked, this, &Grid_Setup::Show_grid);

    m_lock = named(new QCheckBox(QStringLiteral("Lock Grid Buoys"), panel), "chkboxGridLock");
    m_lock->setGeometry(4, 42, 150, 24);
    connect(m_lock, &QCheckBox::toggled, this, &Grid_Setup::lockToggled);
    auto *locked = new DragHandle(QStringLiteral("GRID LOCKED!"), panel);
    m_gridLockedLabel = named(static_cast<QLabel *>(locked), "gridLockedLabel");
    m_gridLockedLabel->setGeometry(160, 42, 120, 24);
    auto *lockedDrag = new DragHandle(QStringLiteral("(drag-it)"), panel);
    m_lblGridDragIt = named(static_cast<QLabel *>(lockedDrag), "lblGridDragIt");
    m_lblGridDragIt->setGeometry(284, 42, 80, 24);
    locked->addToGroup(m_lblGridDragIt);
    lockedDrag->addToGroup(m_gridLockedLabel);

    m_cmdCBlabel = named(new QPushButton(QStringLiteral("Clear Check Buoy"), panel), "cmdCBlabel");
    m_cmdCBlabel->setGeometry(304, 72, 130, 28);
    connect(m_cmdCBlabel, &QPushButton::clicked, this, [this] {
        const bool clearing = m_cmdCBlabel->text() == QLatin1String("Clear Check Buoy");
        m_lblCB->setVisible(!clearing);
        m_cmdCBlabel->setText(clearing ? QStringLiteral("Show Check Buoy") : QStringLiteral("Clear Check Buoy"));
    });

    auto *adjustment = named(new DragHandle(QStringLiteral("Micro-Adjust (drag-it)"), panel), "AdjustmentLabel");
    adjustment->setGeometry(4, 74, 180, 22);
    const std::tuple<const char *, Qt::ArrowType, int, int, double, double> arrows[] = {
        {"AdjustUp", Qt::UpArrow, 64, 100, 0, -15}, {"AdjustLeft", Qt::LeftArrow, 34, 128, -15, 0},
        {"AdjustRight", Qt::RightArrow, 94, 128, 15, 0}, {"AdjustDown", Qt::DownArrow, 64, 156, 0, 15}};
    for (const auto &[name, arrow, x, y, dx, dy] : arrows) {
        auto *button = named(new QToolButton(panel), name);
        button->setArrowType(arrow);
        button->setGeometry(x, y, 28, 26);
        button->setFocusPolicy(Qt::NoFocus);
        adjustment->addToGroup(button);
        const double sx = dx;
        const double sy = dy;
        connect(button, &QToolButton::clicked, this, [this, sx, sy] { nudge(sx, sy); });
    }

    auto *sizeLabel = named(new DragHandle(QStringLiteral("Marker Icon Size (drag-it)"), panel), "CrossSizeLabel");
    sizeLabel->setGeometry(200, 110, 234, 22);
    m_crossSize = named(new QScrollBar(Qt::Horizontal, panel), "Setup_Cross_size");
    m_crossSize->setGeometry(200, 136, 234, 18);
    // 10 to 600 twips; 150 twips (10 pixels) is plainly visible on a camera picture.
    m_snap = new BuoySnapSwitch(m_context.settings(), *m_picture, *m_lblCompleteStatus);
    m_snap->checkBox()->setParent(panel);
    m_snap->checkBox()->setGeometry(200, 160, 234, 24);
    m_crossSize->setRange(10, 600);
    m_crossSize->setSingleStep(15);
    m_crossSize->setValue(150);
    sizeLabel->addToGroup(m_crossSize);
    connect(m_crossSize, &QScrollBar::valueChanged, this, &Grid_Setup::Show_grid);

    m_accuracy = new AccuracyPanel(
        m_context, *m_picture,
        [this] {
            AccuracyRequest request;
            request.gridNumber = captionGrid();
            request.texts = entryTexts();
            request.pictureWidthText = m_pictureWidthText;
            return request;
        },
        [this] { Show_grid(); }, panel);
    m_accuracy->setGeometry(4, 190, 432, 136);
    return panel;
}

void Grid_Setup::buildMenu()
{
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    auto add = [this](QWidget *menu, const char *name, const QString &caption, auto handler) {
        auto *action = new QAction(caption, menu);
        action->setObjectName(text(name));
        connect(action, &QAction::triggered, this, handler);
        menu->addAction(action);
    };
    add(bar, "gridLoad", QStringLiteral("&Load File"), [this] { gridLoad_Click(); });
    add(bar, "gridSave", QStringLiteral("&Save"), [this] { gridSave_Click(); });
    QMenu *picture = bar->addMenu(QStringLiteral("Setup &Picture"));
    add(picture, "mnuLoadPicture", QStringLiteral("Load &Picture"), [this] { loadPicture(); });
    add(picture, "mnuClearPicture", QStringLiteral("&Clear Picture"), [this] { m_picture->clearPicture(); });
    add(picture, "mnuPaste", QStringLiteral("P&aste from Clipboard"),
        [this] { takePicture(QApplication::clipboard()->image(), false); });
    add(picture, "mnuMeasurePic", QStringLiteral("Paste from &Measure"),
        [this] { takePicture(QImage(m_context.paths().currentCapture()), false); });
    add(bar, "mnuCalibrate", QStringLiteral("&Calibrate"), [this] { m_context.navigator().show(ScreenId::Calibrate); });
    add(bar, "gridExit", QStringLiteral("&Return to Main Screen"), [this] { gridExit_Click(); });
}

// ---- Fields ----

GridEntryTexts Grid_Setup::entryTexts() const
{
    GridEntryTexts texts;
    for (const QString &name : entryFieldNames())
        *entryFieldText(texts, name) = m_fields.value(name)->text();
    return texts;
}

void Grid_Setup::showTexts(const GridEntryTexts &texts)
{
    for (const QString &name : entryFieldNames())
        putText(m_fields.value(name), *entryFieldText(texts, name));
}

void Grid_Setup::fieldChanged(const QString &name, const QString &value)
{
    setStateIcon(kNotSetUpIcon);
    m_lblCompleteStatus->clear();
    if (!m_loading) {
        // A changed grid is not loaded at the next start, and the main screen says so.
        const int n = captionGrid();
        m_context.gridIndicators[static_cast<size_t>(n - 1)].picture = QStringLiteral("SmallCaution.jpg");
        m_context.settings().write(SettingsStore::gridFileKey(n), QString());
    }
    setAccuracyEnabled(false);
    m_context.grids().resetAllGridsReady();
    applyFieldEdit(m_context.grids(), name, value);
}

void Grid_Setup::setStateIcon(const QString &picture)
{
    const QPixmap pixmap(m_context.paths().appFile(picture));
    m_stateIcon->setPixmap(pixmap.isNull() ? QPixmap() : pixmap.scaled(32, 32, Qt::KeepAspectRatio));
    m_stateIcon->setProperty("picture", picture);
}

void Grid_Setup::setAccuracyEnabled(bool enabled)
{
    m_accuracy->setCheckEnabled(enabled);
}

int Grid_Setup::captionGrid() const
{
    return qBound(1, static_cast<int>(Val(m_gridSelect->text().mid(5))), 3);
}

void Grid_Setup::setCaptionGrid(int n)
{
    m_gridSelect->setText(QStringLiteral("Grid %1").arg(n));
}

// ---- Markers ----

std::optional<Buoy> Grid_Setup::chosenBuoy() const
{
    for (auto it = m_buoyOptions.cbegin(); it != m_buoyOptions.cend(); ++it) {
        if (it.value()->isChecked())
            return static_cast<Buoy>(it.key());
    }
    return std::nullopt;
}

void Grid_Setup::pressOnPicture(ScreenPoint point)
{
    const std::optional<Buoy> chosen = chosenBuoy();
    if (!chosen)
        return;
    updateFields(m_placement.place(*chosen, m_snap->snapped(point), m_lock->isChecked()));
    drawMarkers();
    m_snap->showFound();
}

void Grid_Setup::nudge(double dxTwips, double dyTwips)
{
    const std::optional<Buoy> chosen = chosenBuoy();
    if (!chosen)
        return;
    updateFields(m_placement.nudge(*chosen, dxTwips, dyTwips, m_lock->isChecked()));
    Show_grid();
}

void Grid_Setup::updateFields(const std::array<bool, BuoyCount> &moved)
{
    Grid &active = m_context.grids().active();
    for (const BuoyFieldRow &r : buoyFieldRows()) {
        if (!moved[static_cast<size_t>(r.buoy)])
            continue;
        const ScreenPoint p = m_placement.markers().at(r.buoy);
        putText(m_fields.value(text(r.fields[0])), CStr(p.x));
        putText(m_fields.value(text(r.fields[1])), CStr(p.y));
        if (const auto corner = cornerOf(r.buoy))
            active.corner(*corner).screen = p;
        else
            active.checkBuoyScreen = p;
    }
}

void Grid_Setup::Show_grid()
{
    m_placement.redrawn();
    drawMarkers();
}

void Grid_Setup::drawMarkers()
{
    m_picture->clearDrawings();
    const TournamentState &t = m_context.tournament();
    const bool crossStyle = t.markerStyle == QLatin1String("cross");
    for (int i = 0; i < BuoyCount; ++i) {
        const Buoy buoy = static_cast<Buoy>(i);
        if (m_placement.markers().isPlaced(buoy))
            m_picture->drawBuoyMarker(m_placement.markers().at(buoy),
                                      crossStyle || m_placement.drawnAsCross(buoy),
                                      m_crossSize->value(), drawingColour(t));
    }
    m_accuracyMap->refresh();
}

void Grid_Setup::setLocked(bool locked)
{
    {
        const QSignalBlocker blocker(m_lock);
        m_lock->setChecked(locked);
    }
    m_gridLockedLabel->setVisible(locked);
    m_lblGridDragIt->setVisible(locked);
}

void Grid_Setup::lockToggled(bool on)
{
    if (on) {
        if (const std::optional<QString> refusal = BuoyPlacement::lockRefusal(entryTexts())) {
            m_context.prompter().inform(*refusal);
            setLocked(false);
            return;
        }
    }
    setLocked(on);
}

// ---- Pictures and activation ----

void Grid_Setup::takePicture(const QImage &picture, bool measureSize)
{
    if (picture.isNull())
        return;
    m_picture->setPicture(picture);
    if (measureSize) {
        m_pictureWidthText = pictureTwipsText(picture.width());
        m_pictureHeightText = pictureTwipsText(picture.height());
        m_txtPicWidth->setText(CStr(std::round(Val(m_pictureWidthText))));
        m_txtPicHeight->setText(CStr(std::round(Val(m_pictureHeightText))));
    }
    Show_grid();
}

void Grid_Setup::loadPicture()
{
    if (const std::optional<QString> path = choosePictureFile(m_context, 4)) {
        const QImage picture(*path);
        if (picture.isNull())
            m_context.prompter().inform(QStringLiteral("%1 is not a picture that can be shown.").arg(*path),
                                        MessageIcon::Exclamation);
        takePicture(picture, true);
    }
}

void Grid_Setup::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownBefore) {
        // The grids loaded at start-up are waiting in the store: show the current one.
        m_shownBefore = true;
        GridStore &grids = m_context.grids();
        const int n = grids.currentGrid();
        m_loading = true;
        setCaptionGrid(n);
        if (grids.gridLoaded(n) || !grids.entry(n).fileName.isEmpty())
            showGrid(n, grids.entry(n).hasCheckBuoy());
        m_loading = false;
        // Filling the fields with what the start-up loaded changes no grid.
        grids.updateAllGridsReady();
        setStateIcon(grids.gridLoaded(n) ? kSetUpIcon : kNotSetUpIcon);
        setAccuracyEnabled(grids.gridLoaded(n));
        Show_grid();
    }
    if (m_context.navigationTag == QLatin1String("SelectFrame")) {
        takePicture(QImage(m_context.paths().currentCapture()), true);
        m_context.navigationTag.clear();
    }
}

void Grid_Setup::closeEvent(QCloseEvent *event)
{
    // The screen hides itself when the operator may leave; otherwise it stays.
    event->ignore();
    gridExit_Click();
}

// ---- Grids ----

void Grid_Setup::showGrid(int n, bool withCheckBuoy)
{
    const Grid &grid = m_context.grids().entry(n);
    const bool neverSetUp = grid.fileName.isEmpty() && grid.transform.isZero() && grid.description.isEmpty()
                            && !m_context.grids().gridLoaded(n);
    // A grid nobody has entered yet shows the not-entered texts, not a grid of zeros.
    showTexts(neverSetUp ? GridEntryTexts() : entryTextsOf(grid, withCheckBuoy));
    m_placement.markers().takeFrom(grid);
}

void Grid_Setup::grid_select_Click()
{
    m_picture->clearDrawings();
    m_accuracy->clearIndicators();
    m_lblCompleteStatus->clear();
    m_loading = true;
    GridStore &grids = m_context.grids();
    const int from = captionGrid();
    const int to = nextSetupGrid(from, grids.gridCount());
    setCaptionGrid(to);
    if (from != to)
        m_context.debugLog().DebugLogWrite(QStringLiteral("Changed from grid %1 to grid %2").arg(from).arg(to));
    grids.selectActiveGrid(to);
    showGrid(to, grids.entry(to).hasCheckBuoy());
    const bool loaded = grids.gridLoaded(to);
    setStateIcon(loaded ? kSetUpIcon : kNotSetUpIcon);
    setAccuracyEnabled(loaded);
    m_loading = false;
    grids.updateAllGridsReady();
    m_accuracyMap->refresh();
}

void Grid_Setup::Load_Click()
{
    const int n = captionGrid();
    SetupValidation validation(m_context.grids(), m_context.debugLog(), m_context.results(),
                               m_context.prompter(), m_context.clock());
    // Not set up until the checks say otherwise, whatever they ask on the way.
    setStateIcon(kNotSetUpIcon);
    m_lblCompleteStatus->clear();
    const CompletionOutcome outcome = validation.complete(
        n, entryTexts(), m_pictureWidthText, m_context.tournament().allowInvalidSetup, [this] {
            setAccuracyEnabled(true);
            m_picture->clearDrawings();
            m_lblCB->hide();
        });

    setStateIcon(outcome.stateIcon);
    setAccuracyEnabled(outcome.accuracyCheckEnabled);
    if (outcome.hint == CheckBuoyHint::Shown) {
        m_lblCB->adjustSize();
        m_picture->placeOver(m_lblCB, outcome.hintPosition);
        m_lblCB->show();
    }
    if (outcome.markersRedrawn)
        Show_grid();
    else if (outcome.drawingsCleared && !outcome.accepted)
        drawMarkers(); // a failed Complete leaves the markers as the operator placed them
    if (outcome.accepted) {
        GridIndicator &indicator = m_context.gridIndicators[static_cast<size_t>(n - 1)];
        indicator.picture = kMainGridSetUpPicture;
        indicator.description = kMainGridNotSavedText;
        // The operator sees the grid he completed, and that it was accepted.
        Show_grid();
        m_lblCompleteStatus->setText(completedStatusText(n));
    }
}

void Grid_Setup::gridSave_Click()
{
    setLocked(false);
    const GridEntryTexts t = entryTexts();
    GridSaveRequest request;
    request.gridNumber = captionGrid();
    request.description = m_context.grids().active().description;
    request.checkBuoyMarker = m_placement.markers().at(Buoy::CheckBuoy);
    request.checkSurveyXText = t.txtCheckX;
    request.checkSurveyYText = t.txtCheckY;
    request.pictureSize = m_picture->picture().size();
    GridFileServices services = m_context.gridFileServices();
    const GridSaveOutcome outcome = gridSave(services, request);
    if (!outcome.saved)
        return;
    m_loading = true;
    m_fields.value(QStringLiteral("ipt_file_description"))->setText(outcome.path);
    m_fields.value(QStringLiteral("ipt_file_description_2"))->setText(outcome.description);
    m_loading = false;
    m_lblCompleteStatus->setText(
        savedStatusText(outcome.gridNumber, m_context.grids().gridLoaded(outcome.gridNumber), outcome.path));
}

void Grid_Setup::gridLoad_Click()
{
    setLocked(false);
    m_loading = true;
    GridFileServices services = m_context.gridFileServices();
    const GridLoadOutcome outcome = gridLoad(services, captionGrid(), m_pictureWidthText, m_picture->picture().size());
    if (outcome.fileRead) {
        showTexts(outcome.texts);
        m_placement.markers().takeFrom(m_context.grids().entry(outcome.gridNumber));
        m_picture->clearDrawings();
        Show_grid();
    }
    m_loading = false;
    if (outcome.gridLoaded) {
        // Filling the fields undid the readiness the load decided: decide it again on the
        // grid as it now stands.
        m_context.grids().updateAllGridsReady();
        setStateIcon(kSetUpIcon);
        setAccuracyEnabled(true);
        setCaptionGrid(outcome.gridNumber);
    }
}

void Grid_Setup::gridExit_Click()
{
    GridStore &grids = m_context.grids();
    const bool ready = grids.allGridsReady();
    if (!ready) {
        if (m_context.prompter().askYesNo(
                QStringLiteral("Do you want to leave the grid setup with all configured grids not setup?"),
                QStringLiteral("Grid Setup Error"))) {
            hide();
            m_context.navigator().show(ScreenId::Main);
        }
    } else {
        hide();
        m_context.navigator().show(ScreenId::Main);
        // Measuring starts on grid 1; the measure screen draws its distance labels from it.
        m_loading = true;
        setCaptionGrid(1);
        grids.selectActiveGrid(1);
        showGrid(1, grids.entry(1).hasCheckBuoy());
        Show_grid();
        setStateIcon(kSetUpIcon);
        // Showing grid 1 again changes nothing: the grids stay ready.
        grids.updateAllGridsReady();
    }
    m_loading = false;
    DebugLog &log = m_context.debugLog();
    log.DebugLogWrite(QStringLiteral("status on exit of grid setup"));
    for (int n = 1; n <= 3; ++n) {
        if (grids.gridLoaded(n))
            log.DebugLogWrite(QStringLiteral("Grid %1 is loaded").arg(n));
    }
    if (grids.allGridsReady())
        log.DebugLogWrite(QStringLiteral("setup is OK"));
    log.DebugLogWrite(QStringLiteral("end of status"));
}

} // namespace skelvin
