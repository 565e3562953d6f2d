#include "ui/measure/Measure.h"

#include "core/app/AppContext.h"
#include "core/app/Configuration.h"
#include "core/app/Navigator.h"
#include "core/app/PictureFileDialog.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "core/common/PictureSize.h"
#include "core/geometry/GridPicture.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/measure/ExchangeFiles.h"
#include "core/measure/MarkGeometry.h"
#include "core/measure/PictureKeeper.h"
#include "core/measure/ResultLine.h"
#include "core/measure/ResultRecorder.h"
#include "ui/common/AccuracyMapSwitch.h"
#include "ui/common/ArrowKeyPoller.h"
#include "ui/common/DragHandle.h"
#include "ui/common/Maximized.h"
#include "ui/common/Named.h"
#include "ui/common/PictureView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace skelvin {

namespace {

const QString kSplash = QStringLiteral("lineSplashIndicator");
const QString kHorizontal = QStringLiteral("lineHorizontalImpact");
const QString kVertical = QStringLiteral("lineVerticalImpact");
constexpr int kPanelWidth = 340;
// Room left between a buoy's marker and its distance labels.
constexpr double kLabelGapTwips = 45;

QLineEdit *box(const char *name, const QString &text = QString())
{
    return named(new QLineEdit(text), name);
}

} // namespace

Measure::Measure(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("Measure"));
    setWindowTitle(QStringLiteral("Measure"));
    buildControls();
    // The picture wants all the room the monitor has.
    showMaximizedWhenShown(this);
    buildMenu();

    auto *keys = new ArrowKeyPoller(this);
    connect(keys, &ArrowKeyPoller::stepped, this, [this](ArrowKey key) {
        m_distanceFt->setFocus();
        const auto [dx, dy] = ArrowKeyState::step(key, kMarkStepTwips);
        adjust(dx, dy);
    });
    m_loadTimer = named(new QTimer(this), "loadTimer");
    connect(m_loadTimer, &QTimer::timeout, this, &Measure::loadTimerTick);

    // The state at load: a normal jump, no comment, no mark, nothing frozen.
    showReadouts(false);
    m_frozenSign->hide();
    m_gridDescription->hide();
    m_gifFileName->hide();
    setMarkControlsVisible(false);
    for (const QString &line : {kSplash, kHorizontal, kVertical}) {
        m_picture->setNamedLine(line, {}, {}, Qt::white);
        m_picture->setNamedLineVisible(line, false);
    }
}

Measure::~Measure() = default;

void Measure::buildControls()
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_picture = named(new PictureView, "Picture1");
    m_picture->setMagnifierOffered(true);
    m_accuracyMap = new AccuracyMapSwitch(m_context, *m_picture);
    auto *pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_picture, 1);
    m_gridWarning = named(new QLabel, "lblGridWarning");
    m_gridWarning->setWordWrap(true);
    m_gridWarning->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    m_gridWarning->hide();
    pictureColumn->addWidget(m_gridWarning);
    layout->addLayout(pictureColumn, 1);
    layout->addWidget(buildSidePanel());

    connect(m_picture, &PictureView::mousePressed, this,
            [this](ScreenPoint p, Qt::MouseButton) { pressOnPicture(p); });
    connect(m_picture, &PictureView::mouseMoved, this, &Measure::moveOverPicture);

    QWidget *canvas = m_picture->canvas();
    m_maxbuoy = named(new QLabel(canvas), "maxbuoy");
    m_minbuoy = named(new QLabel(canvas), "minbuoy");
    m_maxbuoym = named(new QLabel(canvas), "maxbuoym");
    m_minbuoym = named(new QLabel(canvas), "minbuoym");
}

QWidget *Measure::buildSidePanel()
{
    // Controls are placed freely so that the drag handles can move their groups.
    auto *panel = new QWidget;
    int y = 4;
    auto place = [&](QWidget *w, int x, int width, int height = 24, int advance = -1) {
        w->setParent(panel);
        w->setGeometry(x, y, width, height);
        if (advance < 0)
            advance = height + 2;
        y += advance;
        return w;
    };
    constexpr int full = kPanelWidth - 12;

    m_record = named(new QPushButton(QStringLiteral("Record &Jump")), "Record");
    place(m_record, 4, full, 32);
    connect(m_record, &QPushButton::clicked, this, &Measure::Record_Click);

    m_iwsfLabel = named(new QLabel(QStringLiteral("IWSF Official Distance")), "IWSFlabel");
    m_distance = box("distance", QStringLiteral("M"));
    m_awsaLabel = named(new QLabel(QStringLiteral("AWSA Official Distance")), "AWSAlabel");
    m_distanceFt = box("distance_ft", QStringLiteral("FT"));
    place(m_iwsfLabel, 4, 160, 24, 0);
    place(m_distance, 168, 160);
    place(m_awsaLabel, 4, 160, 24, 0);
    place(m_distanceFt, 168, 160);

    m_skierName = named(new QComboBox, "Skier_name");
    m_skierName->setEditable(true);
    m_skierName->setEditText(QStringLiteral("Skier Name"));
    m_jumpNo = box("Jump_no", QStringLiteral("Jump"));
    m_jumpNo->setValidator(new NumberEntryValidator(NumberEntry::Whole, {QStringLiteral("Jump")}, m_jumpNo));
    place(m_skierName, 4, 220, 24, 0);
    place(m_jumpNo, 228, 100);
    connect(m_skierName, &QComboBox::editTextChanged, this, [this] {
        m_jumpNo->setText(QStringLiteral("1"));
        m_distance->clear();
        m_distanceFt->clear();
    });

    auto *frame1 = named(new QGroupBox, "Frame1");
    // A mid-grey ground on which the black, red and yellow captions of the options all read.
    frame1->setAutoFillBackground(true);
    QPalette ground = frame1->palette();
    ground.setColor(QPalette::Window, QColor(150, 158, 168));
    frame1->setPalette(ground);
    // Two columns: the normal results on the left, the entries that ask for more on the right,
    // so the side panel fits a 768-pixel-high screen without scrolling.
    auto *options = new QGridLayout(frame1);
    options->setContentsMargins(6, 2, 6, 2);
    options->setSpacing(0);
    m_optJumpOK = named(new QRadioButton(QStringLiteral("Jump OK")), "optJumpOK");
    m_pass = named(new QRadioButton(QStringLiteral("Pass")), "Pass");
    m_fall = named(new QRadioButton(QStringLiteral("Fall")), "Fall");
    m_oReride = named(new QRadioButton(QStringLiteral("Opt. reride")), "O_reride");
    m_mReride = named(new QRadioButton(QStringLiteral("Man. Reride")), "M_Reride");
    m_otherGrid = named(new QRadioButton(QStringLiteral("Other Grid")), "Other_Grid");
    m_makeComment = named(new QRadioButton(QStringLiteral("Comment")), "Make_comment");
    int row = 0;
    for (QRadioButton *b : {m_optJumpOK, m_pass, m_fall, m_otherGrid})
        options->addWidget(b, row++, 0);
    row = 0;
    for (QRadioButton *b : {m_oReride, m_mReride, m_makeComment})
        options->addWidget(b, row++, 1);
    m_optJumpOK->setChecked(true);
    place(frame1, 4, full, 96);
    connect(m_pass, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::Pass, on); });
    connect(m_fall, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::Fall, on); });
    connect(m_otherGrid, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::OtherGrid, on); });
    connect(m_mReride, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_mReride, on); });
    connect(m_oReride, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_oReride, on); });
    connect(m_makeComment, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_makeComment, on); });

    m_comment = box("Comment");
    place(m_comment, 4, full);

    m_setGrid = named(new QPushButton(QStringLiteral("&Grid 1")), "Set_grid");
    m_showGrid = named(new QPushButton(QStringLiteral("Show Grid")), "Show_grid");
    auto *unfreeze = named(new QPushButton(QStringLiteral("Clear")), "Unfreeze");
    m_verify = named(new QPushButton(QStringLiteral("Verify")), "verify");
    place(m_setGrid, 4, 160, 26, 0);
    place(m_showGrid, 168, 160, 26);
    place(unfreeze, 4, 160, 26, 0);
    place(m_verify, 168, 160, 26);
    connect(m_setGrid, &QPushButton::clicked, this, &Measure::Set_grid_Click);
    connect(m_showGrid, &QPushButton::clicked, this, &Measure::show_the_grid);
    connect(unfreeze, &QPushButton::clicked, this, &Measure::Unfreeze_Click);
    connect(m_verify, &QPushButton::clicked, this, &Measure::verify_Click);

    auto *reselect = named(new QPushButton(QStringLiteral("Reselect capture frame")), "Command1");
    auto *next = named(new QPushButton(QStringLiteral("Capture Next Jump")), "btnNextJump");
    place(reselect, 4, 160, 26, 0);
    place(next, 168, 160, 26);
    connect(reselect, &QPushButton::clicked, this, [this] { m_context.navigator().show(ScreenId::FrameSelection); });
    connect(next, &QPushButton::clicked, this, &Measure::mnuCapture_Click);

    m_autoLoad = named(new QCheckBox(QStringLiteral("Auto Load")), "cbAutoLoadClipboard");
    auto *clipSnap = named(new QToolButton, "ClipSnapShot");
    clipSnap->setText(QStringLiteral("Clipboard"));
    auto *imgSnap = named(new QToolButton, "ImgSnapShot");
    imgSnap->setText(QStringLiteral("Snapshot"));
    place(m_autoLoad, 4, 100, 24, 0);
    place(clipSnap, 110, 100, 24, 0);
    place(imgSnap, 216, 110, 24);
    connect(m_autoLoad, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_loadTimer->start(125);
        else
            m_loadTimer->stop();
    });
    connect(clipSnap, &QToolButton::clicked, this, &Measure::ClipSnapShot_Click);
    connect(imgSnap, &QToolButton::clicked, this, &Measure::ImgSnapShot_Click);

    m_crossLabel = named(new DragHandle(QStringLiteral("Adjust Cross Size (drag-it)")), "CrossLabel");
    m_crossSize = named(new QScrollBar(Qt::Horizontal), "CrossSize");
    m_crossSize->setRange(30, 600);
    m_crossSize->setSingleStep(15);
    m_crossSize->setValue(150);
    place(m_crossLabel, 4, full);
    place(m_crossSize, 4, full, 18);
    m_crossLabel->addToGroup(m_crossSize);
    connect(m_crossSize, &QScrollBar::valueChanged, this, [this] {
        show_the_grid();
        if (m_picture->namedLineVisible(kVertical))
            DrawImpactMark();
    });

    // The arrow buttons stand beside their handle, the FROZEN and UNOFFICIAL JUMP signs below it.
    const int markToolsTop = y;
    m_adjustmentLabel = named(new DragHandle(QStringLiteral("Micro-Adjust (drag-it)")), "AdjustmentLabel");
    place(m_adjustmentLabel, 4, 190);
    const std::tuple<QToolButton **, const char *, Qt::ArrowType, int, int, double, double> arrows[] = {
        {&m_adjustUp, "AdjustUp", Qt::UpArrow, 250, 0, 0, -kMarkStepTwips},
        {&m_adjustLeft, "AdjustLeft", Qt::LeftArrow, 220, 28, -kMarkStepTwips, 0},
        {&m_adjustRight, "AdjustRight", Qt::RightArrow, 280, 28, kMarkStepTwips, 0},
        {&m_adjustDown, "AdjustDown", Qt::DownArrow, 250, 56, 0, kMarkStepTwips}};
    for (const auto &[member, name, arrow, dx, dy, stepX, stepY] : arrows) {
        auto *button = named(new QToolButton(panel), name);
        button->setArrowType(arrow);
        button->setGeometry(dx, markToolsTop + dy, 28, 26);
        *member = button;
        m_adjustmentLabel->addToGroup(button);
        const double sx = stepX;
        const double sy = stepY;
        connect(button, &QToolButton::clicked, this, [this, sx, sy] { adjust(sx, sy); });
    }

    m_frozenSign = named(new DragHandle(QStringLiteral("FROZEN")), "FrozenSign");
    QFont bold = m_frozenSign->font();
    bold.setBold(true);
    m_frozenSign->setFont(bold);
    m_unofficialJump = named(new QLabel(QStringLiteral("UNOFFICIAL JUMP")), "UnofficialJump");
    m_unofficialJump->setFont(bold);
    QPalette red = m_unofficialJump->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_unofficialJump->setPalette(red);
    place(m_frozenSign, 4, 190);
    place(m_unofficialJump, 4, 190);
    y = std::max(y, markToolsTop + 86);

    m_barefootIndicator = box("barefoot_indicator", QStringLiteral("Barefoot Jump"));
    m_barefootIndicator->setReadOnly(true);
    place(m_barefootIndicator, 4, full);

    m_gridLabel = named(new DragHandle(QStringLiteral("Grid Description (drag-it)")), "gridlabel");
    m_gridDescription = box("grid_description");
    m_gridDescription->setReadOnly(true);
    m_gifFileName = box("gif_file_name", QStringLiteral(".gif file name"));
    m_gifFileName->setReadOnly(true);
    place(m_gridLabel, 4, full);
    place(m_gridDescription, 4, full);
    place(m_gifFileName, 4, full);
    m_gridLabel->addToGroup(m_gridDescription);
    m_gridLabel->addToGroup(m_gifFileName);

    m_xtwips = box("xtwips");
    m_ytwips = box("ytwips");
    m_xposition = box("xposition");
    m_yposition = box("yposition");
    m_verifyDistance = box("VerifyDistance");
    place(m_xtwips, 4, 78, 24, 0);
    place(m_ytwips, 86, 78, 24, 0);
    place(m_xposition, 168, 78, 24, 0);
    place(m_yposition, 250, 78);
    place(m_verifyDistance, 4, full);
    for (QLineEdit *b : {m_xtwips, m_ytwips, m_xposition, m_yposition, m_verifyDistance})
        b->setReadOnly(true);

    // On a small screen the panel scrolls rather than cutting off its lower boxes.
    panel->setFixedSize(kPanelWidth, y + 4);
    auto *scroller = named(new QScrollArea, "sidePanel");
    scroller->setWidget(panel);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setFixedWidth(kPanelWidth + scroller->verticalScrollBar()->sizeHint().width());
    return scroller;
}

void Measure::buildMenu()
{
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    auto add = [&](const char *name, const QString &caption, auto handler) {
        QAction *action = bar->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    add("SavePict", QStringLiteral("&Save Picture"), [this] { savePictureByPolicy(); });
    add("LoadPict", QStringLiteral("&Load Picture"), [this] { LoadPict_Click(); });
    add("mnuPaste", QStringLiteral("&Paste"), [this] { mnuPaste_Click(); });
    add("mnuResults", QStringLiteral("&Results"), [this] { m_context.navigator().show(ScreenId::Results); });
    add("mnuCalibrate", QStringLiteral("&Calibrate"), [this] { m_context.navigator().show(ScreenId::Calibrate); });
    add("mnuCapture", QStringLiteral("C&apture Next Jump"), [this] { mnuCapture_Click(); });
    add("mnuViewLog", QStringLiteral("&View Log"), [this] { m_context.navigator().show(ScreenId::PictureLog); });
    add("Exit", QStringLiteral("Return to &Main Screen"), [this] { Exit_Click(); });
}

void Measure::setSkierName(const QString &skier)
{
    m_skierName->setEditText(skier);
}

void Measure::setSkierAndJump(const QString &skier, const QString &jumpNo)
{
    m_skierName->setEditText(skier);
    m_jumpNo->setText(jumpNo);
}

// ---- Drawing ----

void Measure::show_the_grid()
{
    m_picture->clearDrawings();
    const TournamentState &t = m_context.tournament();
    const QColor colour = drawingColour(t);
    const Grid &grid = m_context.grids().active();
    for (const CornerBuoy &c : grid.corners)
        m_picture->drawBuoyMarker(c.screen, t.markerStyle == QLatin1String("cross"), m_crossSize->value(), colour);
    if (!t.lineControlOff) {
        m_picture->drawLine(grid.corner(Corner::LowerRight).screen, grid.corner(Corner::UpperRight).screen, colour);
        m_picture->drawLine(grid.corner(Corner::LowerLeft).screen, grid.corner(Corner::UpperLeft).screen, colour);
    }

    const SurveyPoint jump = m_context.grids().distanceJump();
    // The labels stand clear above the buoy's marker, the metres over the feet.
    const double markerReachTwips =
        buoyMarkerReachTwips(t.markerStyle == QLatin1String("cross"), m_crossSize->value());
    const auto placeLabels = [&](QLabel *feet, QLabel *metres, const CornerBuoy &buoy) {
        const BuoyDistanceTexts texts = buoyDistanceTexts(jump, buoy.survey);
        feet->setText(texts.feet);
        metres->setText(texts.metres);
        feet->adjustSize();
        metres->adjustSize();
        // Anchored in twips and stacked in view pixels: they stay by their buoy and keep their
        // size at every zoom.
        const ScreenPoint above{buoy.screen.x - 100, buoy.screen.y - markerReachTwips - kLabelGapTwips};
        m_picture->placeOver(feet, above, {0, -feet->height()});
        m_picture->placeOver(metres, above, {0, -feet->height() - metres->height()});
        feet->show();
        metres->show();
    };
    placeLabels(m_maxbuoy, m_maxbuoym, grid.corner(Corner::UpperLeft));
    placeLabels(m_minbuoy, m_minbuoym, grid.corner(Corner::UpperRight));

    m_gridDescription->setText(grid.description);
    m_gridDescription->show();
    m_accuracyMap->refresh();
}

void Measure::DrawImpactMark()
{
    const TournamentState &t = m_context.tournament();
    const QColor colour = t.impactColour;
    const double s = m_crossSize->value();
    const ScreenPoint p = m_state.impactPoint;

    m_picture->setNamedLine(kHorizontal, p, {t.rightToLeft ? p.x + s : p.x - s, p.y}, colour);
    m_picture->setNamedLine(kVertical, {p.x, p.y - s}, {p.x, p.y + s}, colour);
    if (const auto mapped = ScreenToSurvey(m_context.grids().active().transform, p))
        m_state.lastSurveyPoint = *mapped;

    const std::optional<ScreenPoint> splash =
        splashPoint(m_context.grids(), t.tournamentType, t.rightToLeft, p);
    if (splash) {
        m_picture->setNamedLine(kSplash, *splash, {splash->x, splash->y - 1000}, colour);
        m_splashPoint = *splash;
    }
    m_picture->setNamedLineVisible(kSplash, splash.has_value());
    m_picture->setNamedLineVisible(kHorizontal, true);
    m_picture->setNamedLineVisible(kVertical, true);
    m_lastImpactPoint = p;
}

void Measure::clearDistanceLabels()
{
    for (QLabel *l : {m_maxbuoy, m_minbuoy, m_maxbuoym, m_minbuoym})
        l->clear();
}

void Measure::applyColours()
{
    const TournamentState &t = m_context.tournament();
    const QList<QWidget *> controls = {m_makeComment, m_otherGrid, m_fall, m_pass, m_optJumpOK,
                                       m_iwsfLabel, m_awsaLabel, m_mReride, m_oReride, m_frozenSign,
                                       m_adjustmentLabel, m_crossLabel, m_maxbuoy, m_maxbuoym,
                                       m_minbuoy, m_minbuoym};
    for (QWidget *w : controls) {
        const QColor colour = t.labelColourWord == QLatin1String("default") || !t.labelColour.isValid()
                                  ? Configuration::defaultLabelColour(w->objectName())
                                  : t.labelColour;
        QPalette palette = w->palette();
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::ButtonText, colour);
        w->setPalette(palette);
    }
}

// ---- Activation and pictures ----

void Measure::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    activate();
}

void Measure::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Exit_Click();
}

void Measure::activate()
{
    GridStore &grids = m_context.grids();
    m_setGrid->setVisible(grids.gridCount() != 1);
    m_setGrid->setText(QStringLiteral("&Grid %1").arg(grids.currentGrid()));

    const TournamentState &t = m_context.tournament();
    m_barefootIndicator->setVisible(t.barefootMode() || t.sitSkiMode());
    m_barefootIndicator->setText(t.sitSkiMode() ? QStringLiteral("Sit Ski Jump") : QStringLiteral("Barefoot Jump"));
    {
        // The list holds what the configuration screen last read from the skier name file,
        // nothing when that read found no names.
        const QString current = m_skierName->currentText();
        const QSignalBlocker blocker(m_skierName);
        m_skierName->clear();
        m_skierName->addItems(t.skierNames);
        m_skierName->setEditText(current);
    }
    applyColours();

    const QString capture = m_context.paths().currentCapture();
    if (m_context.navigationTag == QLatin1String("SelectFrame")) {
        if (m_picture->loadPicture(capture)) {
            m_pictureIsFramePicture = true;
            pictureChanged();
        }
    }
    show_the_grid();
    checkGridPicture();
    m_context.debugLog().DebugLogWrite(QStringLiteral("Measure form Activated - picture loaded - ") + capture);
}

void Measure::pictureChanged()
{
    const QImage &picture = m_picture->picture();
    m_pictureWidthText = pictureTwipsText(picture.width());
    m_pictureHeightText = pictureTwipsText(picture.height());
    // A new picture opens whole on screen, whatever zoom and scroll the last one was left at,
    // so a click aimed at it lands where the operator sees it.
    m_picture->fitToView();
    // A mark belongs to the picture it was placed on: a new picture waits for its own mark.
    m_state.markPlaced = false;
    m_jumpRecorded = false;
    m_state.recordedMark.reset();
    for (const QString &line : {kSplash, kHorizontal, kVertical})
        m_picture->setNamedLineVisible(line, false);
    setMarkControlsVisible(false);
    checkGridPicture();
}

void Measure::checkGridPicture()
{
    const int n = m_context.grids().currentGrid();
    const QString warning = wrongGridPictureText(n, gridPictureSize(m_context.settings(), n),
                                                 m_picture->picture().size());
    m_gridWarning->setText(warning);
    m_gridWarning->setVisible(!warning.isEmpty());
}

void Measure::freezePicture(const QImage &picture, const QString &name)
{
    m_state.pictureFrozen = true;
    m_frozenSign->show();
    m_distance->clear();
    m_distanceFt->clear();
    m_showGrid->setFocus();
    if (!picture.isNull()) {
        m_picture->setPicture(picture);
        m_pictureIsFramePicture = false;
        pictureChanged();
    }
    show_the_grid();
    m_gifFileName->setText(name);
    m_gifFileName->show();
}

void Measure::mnuPaste_Click()
{
    const QImage frame(m_context.paths().currentCapture());
    if (frame.isNull()) {
        m_context.prompter().inform(QStringLiteral("There is no frame picture to paste yet: %1")
                                        .arg(m_context.paths().currentCapture()),
                                    MessageIcon::Exclamation);
        return;
    }
    freezePicture(frame, QStringLiteral("Picture from Clipboard"));
    m_pictureIsFramePicture = true;
}

void Measure::ClipSnapShot_Click()
{
    const QImage picture = QApplication::clipboard()->image();
    if (picture.isNull()) {
        m_context.prompter().inform(QStringLiteral("The clipboard holds no picture."), MessageIcon::Exclamation);
        return;
    }
    freezePicture(picture, QStringLiteral("Picture from Clipboard"));
}

void Measure::ImgSnapShot_Click()
{
    const QString path = ExchangeFiles(m_context.paths().exchangeDir()).snapshotPath();
    const QImage snapshot(path);
    if (snapshot.isNull()) {
        m_context.prompter().inform(ExchangeFiles::kSnapshotWarning, MessageIcon::Exclamation);
        return;
    }
    freezePicture(snapshot, path);
}

void Measure::LoadPict_Click()
{
    const std::optional<QString> path =
        choosePictureFile(m_context, pictureFilterIndex(m_context.tournament().pictureExtension));
    if (path && m_picture->loadPicture(*path)) {
        m_shownPictureName = *path;
        m_pictureIsFramePicture = false;
        m_picture->setBackground(Qt::black);
        pictureChanged();
        show_the_grid();
        showPicturePath(*path);
    }
    m_context.results().append(DatedResultLine(m_context.clock().dateText(), m_context.clock().timeText(),
                                               QStringLiteral("Loaded picture: ") + path.value_or(QString())));
    m_context.navigationTag = QStringLiteral("PictureLoadMenu");
}

void Measure::showPicturePath(const QString &path)
{
    m_gifFileName->setText(path);
    m_gifFileName->move(m_gridDescription->x(),
                        m_gridDescription->y() + m_gridDescription->height());
    m_gifFileName->show();
    // On a low screen the side panel scrolls: bring the name into view.
    if (auto *panel = findChild<QScrollArea *>(QStringLiteral("sidePanel")))
        panel->ensureWidgetVisible(m_gifFileName);
}

bool Measure::showLoggedPicture(const QString &path)
{
    if (!m_picture->loadPicture(path)) {
        m_context.prompter().inform(QStringLiteral("The picture could not be loaded: ") + path,
                                    MessageIcon::Exclamation);
        return false;
    }
    m_pictureIsFramePicture = false;
    pictureChanged();
    show_the_grid();
    showPicturePath(path);
    return true;
}

void Measure::loadTimerTick()
{
    // Polling never troubles the operator: every failure waits for the next tick.
    const ExchangeFiles exchange(m_context.paths().exchangeDir());
    if (!exchange.pictureReady())
        return;
    const QImage picture = QApplication::clipboard()->image();
    if (picture.isNull())
        return;
    m_picture->setPicture(picture);
    m_pictureIsFramePicture = false;
    pictureChanged();
    show_the_grid();
    exchange.clearPictureFlag();
}

// ---- The mark ----

void Measure::setMarkControlsVisible(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(m_adjustUp), static_cast<QWidget *>(m_adjustDown),
                       static_cast<QWidget *>(m_adjustLeft), static_cast<QWidget *>(m_adjustRight),
                       static_cast<QWidget *>(m_adjustmentLabel)})
        w->setVisible(visible);
}

void Measure::pressOnPicture(ScreenPoint point)
{
    m_distance->setText(QStringLiteral("m"));
    m_distanceFt->setText(QStringLiteral("ft"));
    m_state.impactPoint = point;
    m_state.markPlaced = true;
    m_state.recordedMark.reset();
    m_state.lastMousePoint = point;
    DrawImpactMark();
    setMarkControlsVisible(true);
}

void Measure::adjust(double dxTwips, double dyTwips)
{
    m_state.impactPoint = {m_lastImpactPoint.x + dxTwips, m_lastImpactPoint.y + dyTwips};
    m_state.recordedMark.reset();
    DrawImpactMark();
}

void Measure::moveOverPicture(ScreenPoint point)
{
    m_state.lastMousePoint = point;
    const TournamentState &t = m_context.tournament();
    const std::optional<LiveReadout> r = liveReadout(m_context.grids(), t.tournamentType, point);
    m_xtwips->setText(Str(Int(point.x)));
    m_ytwips->setText(Str(Int(point.y)));
    if (!r) {
        m_xposition->setText(kNoImageText);
        m_yposition->setText(kNoImageText);
        m_verifyDistance->setText(kNoImageText);
        return;
    }
    m_xposition->setText(r->xposition);
    m_yposition->setText(r->yposition);
    m_verifyDistance->setText(r->verifyDistance);
}

// ---- Buttons ----

void Measure::showReadouts(bool visible)
{
    for (QWidget *w : {m_xtwips, m_ytwips, m_xposition, m_yposition, m_verifyDistance})
        w->setVisible(visible);
    m_unofficialJump->setVisible(visible);
}

void Measure::verify_Click()
{
    const bool turningOn = m_verify->text() == QLatin1String("Verify");
    showReadouts(turningOn);
    m_verify->setText(turningOn ? QStringLiteral("Verify off") : QStringLiteral("Verify"));
}

void Measure::Set_grid_Click()
{
    const GridChoice choice = nextGrid(m_setGrid->text(), m_context.grids().gridCount());
    m_setGrid->setText(choice.caption);
    m_picture->clearDrawings();
    clearDistanceLabels();
    m_context.grids().selectActiveGrid(choice.grid);
    show_the_grid();
    checkGridPicture();
}

void Measure::resultOptionChosen(ResultKind kind, bool on)
{
    if (!on)
        return;
    readState();
    ResultRecorder::chooseKind(m_state, kind);
    m_comment->setText(m_state.comment);
    m_comment->show();
}

void Measure::Unfreeze_Click()
{
    for (const QString &line : {kSplash, kHorizontal, kVertical})
        m_picture->setNamedLineVisible(line, false);
    m_distance->setText(QStringLiteral("m"));
    m_distanceFt->setText(QStringLiteral("ft"));
    m_jumpNo->setText(nextJumpNumber(m_jumpNo->text()));
    for (QRadioButton *b : {m_fall, m_pass, m_oReride, m_mReride, m_otherGrid, m_makeComment}) {
        const QSignalBlocker blocker(b);
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    m_optJumpOK->setChecked(true);
    m_comment->clear();
    m_state.pictureFrozen = false;
    m_state.markPlaced = false;
    m_frozenSign->hide();
    m_gifFileName->hide();
    setMarkControlsVisible(false);
    m_picture->clearPicture();
    show_the_grid();
    ExchangeFiles(m_context.paths().exchangeDir()).deletePictures();
}

// ---- Recording ----

void Measure::readState()
{
    m_state.skierName = m_skierName->currentText();
    m_state.jumpNo = m_jumpNo->text();
    m_state.comment = m_comment->text();
    m_state.commentVisible = m_comment->isVisible();
    m_state.distanceText = m_distance->text();
    m_state.distanceFtText = m_distanceFt->text();
    m_state.kind = m_pass->isChecked()        ? ResultKind::Pass
                   : m_fall->isChecked()      ? ResultKind::Fall
                   : m_otherGrid->isChecked() ? ResultKind::OtherGrid
                                              : ResultKind::JumpOk;
    m_state.verifyMode = m_verify->text() == QLatin1String("Verify off");
    m_state.barefootIndicatorVisible = !m_barefootIndicator->isHidden();
}

void Measure::showState()
{
    m_jumpNo->setText(m_state.jumpNo);
    m_comment->setText(m_state.comment);
    m_comment->setVisible(m_state.commentVisible);
    m_distance->setText(m_state.distanceText);
    m_distanceFt->setText(m_state.distanceFtText);
    QRadioButton *chosen = m_state.kind == ResultKind::Pass        ? m_pass
                           : m_state.kind == ResultKind::Fall      ? m_fall
                           : m_state.kind == ResultKind::OtherGrid ? m_otherGrid
                                                                   : m_optJumpOK;
    const QSignalBlocker blocker(chosen);
    chosen->setChecked(true);
}

void Measure::Record_Click()
{
    readState();
    if (m_context.resultRecorder().Record(m_state))
        m_jumpRecorded = true;
    showState();
}

void Measure::entryChosen(QRadioButton *option, bool on)
{
    if (!on)
        return;
    readState();
    ResultRecorder recorder = m_context.resultRecorder();
    if (option == m_mReride)
        recorder.M_Reride(m_state);
    else if (option == m_oReride)
        recorder.O_reride(m_state);
    else
        recorder.Make_comment(m_state);
    m_comment->setText(m_state.comment);
    m_distance->setText(m_state.distanceText);
    m_distanceFt->setText(m_state.distanceFtText);
    // A reride stays marked while a picture is frozen; a comment entry never stays.
    if (option == m_makeComment || !m_state.pictureFrozen) {
        const QSignalBlocker blocker(option);
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
        const QSignalBlocker okBlocker(m_optJumpOK);
        m_optJumpOK->setChecked(true);
    }
}

// ---- Leaving ----

bool Measure::showsFramePicture() const
{
    return m_pictureIsFramePicture && m_picture->hasPicture();
}

void Measure::savePictureByPolicy()
{
    readState();
    m_context.pictureKeeper().SavePict(m_state, m_picture->picture(), showsFramePicture());
}

void Measure::mnuCapture_Click()
{
    readState();
    PictureKeeper keeper = m_context.pictureKeeper();
    if (m_context.navigationTag != QLatin1String("SelectFrame")) {
        if (m_context.prompter().askYesNo(QStringLiteral("Do you want to save this picture?")))
            keeper.SavePict(m_state, m_picture->picture(), showsFramePicture());
        if (m_context.prompter().askYesNo(QStringLiteral("Do you want to remain on this form?")))
            return;
    } else {
        keeper.applyPicturePolicy(m_state, m_picture->picture(), showsFramePicture());
    }
    settleVideo(keeper);
    m_context.navigationTag = QStringLiteral("Measure");
    Unfreeze_Click();
    m_context.handOver.startFocusPending = true;
    m_context.navigator().show(ScreenId::Capture);
}

void Measure::settleVideo(PictureKeeper &keeper)
{
    emit videoReleaseNeeded();
    keeper.applyVideoPolicy();
    m_context.handOver.forgetMeasuredVideo();
}

void Measure::Exit_Click()
{
    if (m_context.navigationTag == QLatin1String("SelectFrame")) {
        readState();
        PictureKeeper keeper = m_context.pictureKeeper();
        keeper.applyPicturePolicy(m_state, m_picture->picture(), showsFramePicture());
        // A recorded jump's video is kept (with its side file and log line) or erased on the
        // way back as on the way to the next jump; unrecorded, it waits to be measured.
        if (m_jumpRecorded)
            settleVideo(keeper);
    }
    m_context.navigationTag.clear();
    Unfreeze_Click();
    clearDistanceLabels();
    m_gridDescription->hide();
    hide();
    m_context.navigator().show(ScreenId::Main);
}

} // namespace skelvin
