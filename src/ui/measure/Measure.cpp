#include "ui/measure/Measure.h"

#include "core/app/AppContext.h"
#include "core/app/Configuration.h"
#include "core/app/Navigator.h"
#include "core/app/PictureFileDialog.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "core/common/PictureSize.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/measure/ExchangeFiles.h"
#include "core/measure/LeavingSteps.h"
#include "core/measure/MarkGeometry.h"
#include "core/measure/PictureKeeper.h"
#include "core/measure/ResultLine.h"
#include "core/measure/ResultRecorder.h"
#include "ui/common/AccuracyMapSwitch.h"
#include "ui/measure/CameraWatchBar.h"
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

const QString kShowSuggestedContactKey = QStringLiteral("showSuggestedContact");
// The ring's radius: six picture pixels.
constexpr double kSuggestedContactRingTwips = 6 * TwipsPerPixel;

const QString kSplash = QStringLiteral("lineSplashIndicator");
const QString kHorizontal = QStringLiteral("lineHorizontalImpact");
const QString kVertical = QStringLiteral("lineVerticalImpact");
// Room left between a buoy's marker and its distance labels.
constexpr double kLabelGapTwips = 45;

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
    m_cameraWatch = new CameraWatchBar(m_context.grids(), m_context.settings(), m_context.debugLog());
    pictureColumn->addWidget(m_cameraWatch);
    connect(m_cameraWatch, &CameraWatchBar::followed, this,
            [this](const QString &logText) { m_context.pictureKeeper().logCameraFollowed(logText); });
    connect(m_cameraWatch, &CameraWatchBar::gridChanged, this, [this] {
        show_the_grid();
        if (m_state.markPlaced)
            DrawImpactMark();
    });
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
    QWidget *panel = setupSidePanel();
    connect(m_record, &QPushButton::clicked, this, &Measure::Record_Click);
    connect(m_skierName, &QComboBox::editTextChanged, this, [this] {
        m_jumpNo->setText(QStringLiteral("1"));
        m_distance->clear();
        m_distanceFt->clear();
    });
    connect(m_pass, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::Pass, on); });
    connect(m_fall, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::Fall, on); });
    connect(m_otherGrid, &QRadioButton::toggled, this, [this](bool on) { resultOptionChosen(ResultKind::OtherGrid, on); });
    connect(m_mReride, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_mReride, on); });
    connect(m_oReride, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_oReride, on); });
    connect(m_makeComment, &QRadioButton::toggled, this, [this](bool on) { entryChosen(m_makeComment, on); });
    connect(m_setGrid, &QPushButton::clicked, this, &Measure::Set_grid_Click);
    connect(m_showGrid, &QPushButton::clicked, this, &Measure::show_the_grid);
    connect(m_unfreeze, &QPushButton::clicked, this, &Measure::Unfreeze_Click);
    connect(m_verify, &QPushButton::clicked, this, &Measure::verify_Click);
    connect(m_reselect, &QPushButton::clicked, this, [this] { m_context.navigator().show(ScreenId::FrameSelection); });
    connect(m_nextJump, &QPushButton::clicked, this, &Measure::mnuCapture_Click);
    connect(m_autoLoad, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_loadTimer->start(125);
        else
            m_loadTimer->stop();
    });
    m_showSuggestedContact->setChecked(
        m_context.settings().readFlag(kShowSuggestedContactKey, true));
    connect(m_showSuggestedContact, &QCheckBox::toggled, this, [this](bool on) {
        m_context.settings().writeFlag(kShowSuggestedContactKey, on);
        show_the_grid();
    });
    connect(m_clipSnap, &QToolButton::clicked, this, &Measure::ClipSnapShot_Click);
    connect(m_imgSnap, &QToolButton::clicked, this, &Measure::ImgSnapShot_Click);
    connect(m_crossSize, &QScrollBar::valueChanged, this, [this] {
        show_the_grid();
        if (m_picture->namedLineVisible(kVertical))
            DrawImpactMark();
    });
    const std::tuple<QToolButton *, double, double> arrows[] = {
        {m_adjustUp, 0, -kMarkStepTwips}, {m_adjustLeft, -kMarkStepTwips, 0},
        {m_adjustRight, kMarkStepTwips, 0}, {m_adjustDown, 0, kMarkStepTwips}};
    for (const auto &[button, stepX, stepY] : arrows) {
        const double sx = stepX;
        const double sy = stepY;
        connect(button, &QToolButton::clicked, this, [this, sx, sy] { adjust(sx, sy); });
    }
    return panel;
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
    drawSuggestedContact();
}

void Measure::drawSuggestedContact()
{
    // Only a hint where to look: the operator's click is the mark, and the ring is faint so the
    // water under it stays in sight. Shown on the frame picture of the recording searched, when
    // it is the suggested frame or one of its neighbours.
    const JumpHandOver &handOver = m_context.handOver;
    if (!m_showSuggestedContact->isChecked() || !m_pictureIsFramePicture ||
        handOver.suggestedContactFrame < 0 || !handOver.measuredVideoIsJumpRecording() ||
        std::abs(handOver.measuredFrame - 1 - handOver.suggestedContactFrame) > 2)
        return;
    const ScreenPoint at{handOver.suggestedContactPoint.x() * TwipsPerPixel,
                         handOver.suggestedContactPoint.y() * TwipsPerPixel};
    m_picture->drawCircle(at, kSuggestedContactRingTwips, QColor(255, 255, 255, 110), 1);
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
    m_cameraWatch->watch(m_picture->picture());
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
    const ResultRecorder::Entry entry = option == m_mReride   ? ResultRecorder::Entry::ManReride
                                        : option == m_oReride ? ResultRecorder::Entry::OptReride
                                                              : ResultRecorder::Entry::Comment;
    const bool stays = m_context.resultRecorder().recordEntry(m_state, entry);
    m_comment->setText(m_state.comment);
    m_distance->setText(m_state.distanceText);
    m_distanceFt->setText(m_state.distanceFtText);
    if (!stays) {
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
    if (!leavingSteps().toNextJump(shownJump()))
        return;
    m_context.navigationTag = QStringLiteral("Measure");
    Unfreeze_Click();
    m_context.handOver.startFocusPending = true;
    m_context.navigator().show(ScreenId::Capture);
}

LeavingSteps Measure::leavingSteps()
{
    return LeavingSteps({m_context.pictureKeeper(), m_context.prompter(), m_context.handOver,
                         [this] { emit videoReleaseNeeded(); }});
}

LeavingSteps::Shown Measure::shownJump() const
{
    return {m_state, m_picture->picture(), showsFramePicture(),
            m_context.navigationTag == QLatin1String("SelectFrame"), m_jumpRecorded};
}

void Measure::Exit_Click()
{
    readState();
    leavingSteps().toMainScreen(shownJump());
    m_context.navigationTag.clear();
    Unfreeze_Click();
    clearDistanceLabels();
    m_gridDescription->hide();
    hide();
    m_context.navigator().show(ScreenId::Main);
}

} // namespace skelvin
