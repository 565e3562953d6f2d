#include "ui/frames/frmSetStart.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "core/frames/DiskSpace.h"
#include "core/frames/FrameChoice.h"
#include "core/frames/FrameMessages.h"
#include "core/frames/MeasuredSideFile.h"
#include "core/frames/RecordingRename.h"
#include "core/frames/mmInfo.h"
#include "core/vision/recordings/ContactSearchJob.h"
#include "ui/common/KeyCodes.h"
#include "ui/common/Named.h"
#include "ui/frames/FramePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace skelvin {

namespace {

const QString kStartText =
    QStringLiteral("Select Start Position using direction buttons and/or slider");
const QString kContactText =
    QStringLiteral("Select First Contact by using direction buttons and/or slider");
constexpr int kPanelWidth = 400;
constexpr int kKeypad4 = 100;
constexpr int kKeypad6 = 102;
// The longest the screen waits, as it opens a recording just made, for the contact searched
// while recording: the search is a few tens of milliseconds from done when recording stops.
constexpr std::chrono::milliseconds kSuggestionWait(150);

QLineEdit *box(const char *name, const QString &text = QString(), bool readOnly = false)
{
    auto *edit = named(new QLineEdit(text), name);
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace

frmSetStart::frmSetStart(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmSetStart"));
    setWindowTitle(QStringLiteral("Skelvin 2005 Frame Selection"));
    buildControls();
    // The picture wants all the room the monitor has (also where no window manager maximizes).
    if (const QScreen *monitor = QGuiApplication::primaryScreen())
        setGeometry(monitor->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    QCoreApplication::instance()->installEventFilter(this);
    Form_Load();
}

frmSetStart::~frmSetStart()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

// ---- Controls ----

void frmSetStart::buildControls()
{
    m_player = named(new FramePlayer, "MediaPlayer1");
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_player, 1);
    layout->addWidget(buildPanel());

    m_contactSearch = new ContactSearchJob(this);
    connect(m_contactSearch, &ContactSearchJob::finished, this, &frmSetStart::contactSearched);

    m_timer1 = named(new QTimer(this), "Timer1");
    m_timer1->setSingleShot(true);
    m_timer2 = named(new QTimer(this), "Timer2");
    m_timer2->setInterval(100);
    connect(m_timer1, &QTimer::timeout, this, &frmSetStart::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &frmSetStart::Timer2_Timer);
    connect(m_player, &FramePlayer::positionChanged, this,
            [this](int frame) { m_text9->setText(QString::number(frame)); });
    connect(m_player, &FramePlayer::repeatRequested, this, [this] {
        const LeadUpPlayback::Span &span = m_leadUp.currentSpan();
        if (span.toFrame > 0)
            m_player->play(span.fromFrame, span.toFrame);
    });
}

QWidget *frmSetStart::buildPanel()
{
    auto *panel = new QWidget;
    panel->setFixedWidth(kPanelWidth);
    auto *v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    auto *browseRow = new QHBoxLayout;
    browseRow->addWidget(new QLabel(QStringLiteral("Browse for File to View -------->")), 1);
    m_command6 = named(new QPushButton(QStringLiteral("...")), "Command6");
    m_command6->setFixedWidth(40);
    browseRow->addWidget(m_command6);
    v->addLayout(browseRow);
    m_text6 = box("Text6");
    v->addWidget(m_text6);
    m_lstFileInfo = named(new QListWidget, "lstFileInfo");
    m_lstFileInfo->setFixedHeight(120);
    v->addWidget(m_lstFileInfo);

    m_label5 = named(new QLabel(kStartText), "Label5");
    m_label5->setWordWrap(true);
    v->addWidget(m_label5);

    auto *stepRow = new QHBoxLayout;
    m_command1 = named(new QPushButton(QStringLiteral("<")), "Command1");
    m_text9 = box("Text9", QStringLiteral("0"), true);
    m_text9->setAlignment(Qt::AlignCenter);
    m_command4 = named(new QPushButton(QStringLiteral(">")), "Command4");
    stepRow->addWidget(m_command1);
    stepRow->addWidget(m_text9);
    stepRow->addWidget(m_command4);
    v->addLayout(stepRow);
    m_lblSuggested = named(new QLabel, "lblSuggested");
    m_lblSuggested->setWordWrap(true);
    v->addWidget(m_lblSuggested);
    m_cmdGoToSuggested =
        named(new QPushButton(QStringLiteral("Go to suggested frame")), "cmdGoToSuggested");
    m_cmdGoToSuggested->setEnabled(false);
    v->addWidget(m_cmdGoToSuggested);

    auto *play = new QGridLayout;
    m_command5 = named(new QPushButton(QStringLiteral("Play before start -->")), "Command5");
    m_text4 = box("Text4", QStringLiteral("2"));
    m_text5 = box("Text5", QString(), true);
    m_txtStartLoop = box("txtStartLoop", QStringLiteral("1"));
    m_text4->setValidator(new NumberEntryValidator(NumberEntry::Fraction, {}, m_text4));
    m_txtStartLoop->setValidator(new NumberEntryValidator(NumberEntry::Whole, {}, m_txtStartLoop));
    play->addWidget(m_command5, 0, 0, 1, 2);
    play->addWidget(new QLabel(QStringLiteral("Seconds")), 0, 2);
    play->addWidget(m_text4, 0, 3);
    play->addWidget(new QLabel(QStringLiteral("Loop")), 1, 0);
    play->addWidget(m_txtStartLoop, 1, 1);
    play->addWidget(new QLabel(QStringLiteral("ms")), 1, 2);
    play->addWidget(m_text5, 1, 3);
    v->addLayout(play);
    m_cbFullScreen = named(new QCheckBox(QStringLiteral(
                               "Play using Full Screen, ESC returns Click Mouse to repeat Play")),
                           "cbFullScreen");
    v->addWidget(m_cbFullScreen);

    auto *zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel(QStringLiteral("Picture size")));
    m_cboZoom = named(new QComboBox, "cboZoom");
    m_cboZoom->addItems(
        {QStringLiteral("Fit to screen"), QStringLiteral("1:1"), QStringLiteral("2:1")});
    zoomRow->addWidget(m_cboZoom, 1);
    v->addLayout(zoomRow);

    m_cmdMarkStart = named(new QPushButton(QStringLiteral("Use displayed frame to measure jump")),
                           "cmdMarkStart");
    m_btnGoToSetup = named(new QPushButton(QStringLiteral("Use displayed frame to set up Grid")),
                           "btnGoToSetup");
    auto *goCapture =
        named(new QPushButton(QStringLiteral("Go To Record Next Jump Pass")), "cmdGoToCapture");
    auto *goMain = named(new QPushButton(QStringLiteral("Go Back To Main Screen")), "cmdGoToSetup");
    auto *viewLog = named(new QPushButton(QStringLiteral("View Log File")), "cmdViewLog");
    m_cmdMarkStart->setMinimumHeight(40);
    for (QPushButton *b : {m_cmdMarkStart, m_btnGoToSetup, goCapture, goMain, viewLog})
        v->addWidget(b);

    m_label9 = named(new QLabel(QStringLiteral("Barefoot Mode")), "Label9");
    m_label9->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    m_label9->hide();
    v->addWidget(m_label9);
    auto *space = new QHBoxLayout;
    m_label10 = named(new QLabel, "Label10");
    m_lblDiskSpace = named(new QLabel, "lblDiskSpace");
    space->addWidget(m_label10);
    space->addWidget(m_lblDiskSpace, 1);
    v->addLayout(space);
    m_label11 = named(new QLabel(QStringLiteral("Warning! Disk Space Low")), "Label11");
    m_label11->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    m_label11->hide();
    v->addWidget(m_label11);

    auto *keys = new QHBoxLayout;
    m_text1 = box("Text1", QString(), true);
    m_text2 = box("Text2", QString(), true);
    m_lblKeyDown = named(new QLabel(QStringLiteral("Key Down")), "lblKeyDown");
    m_lblKeyDown->hide();
    keys->addWidget(m_text1);
    keys->addWidget(m_text2);
    keys->addWidget(m_lblKeyDown);
    v->addLayout(keys);
    v->addStretch(1);

    connect(m_command6, &QPushButton::clicked, this, &frmSetStart::Command6_Click);
    connect(m_command1, &QPushButton::clicked, this, &frmSetStart::Command1_Click);
    connect(m_command4, &QPushButton::clicked, this, &frmSetStart::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &frmSetStart::Command5_Click);
    connect(m_cmdMarkStart, &QPushButton::clicked, this, &frmSetStart::cmdMarkStart_Click);
    connect(m_btnGoToSetup, &QPushButton::clicked, this, &frmSetStart::btnGoToSetup_Click);
    connect(goCapture, &QPushButton::clicked, this, &frmSetStart::cmdGoToCapture_Click);
    connect(goMain, &QPushButton::clicked, this, &frmSetStart::cmdGoToSetup_Click);
    connect(viewLog, &QPushButton::clicked, this, &frmSetStart::cmdViewLog_Click);
    connect(m_cmdGoToSuggested, &QPushButton::clicked, this, &frmSetStart::cmdGoToSuggested_Click);
    auto *goKey = new QShortcut(QKeySequence(Qt::Key_G), this);
    goKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(goKey, &QShortcut::activated, this, &frmSetStart::cmdGoToSuggested_Click);
    connect(m_text4, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString within = LeadUpPlayback::leadSecondsWithinLimits(text);
        if (within != text)
            m_text4->setText(within);
    });
    connect(m_cboZoom, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_player->setZoom(static_cast<FrameView::Zoom>(std::clamp(index, 0, 2)));
    });
    return panel;
}

// ---- Load and paint ----

void frmSetStart::Form_Load()
{
    if (m_text6->text().isEmpty())
        setChoosingEnabled(false);
    m_startFixed = false;
    m_leadUp.cancel();
    m_label5->setText(kStartText);
}

void frmSetStart::setChoosingEnabled(bool on)
{
    m_command5->setEnabled(on);
    m_cmdMarkStart->setEnabled(on);
    m_btnGoToSetup->setEnabled(on);
}

void frmSetStart::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Questions and messages are not asked from inside a paint.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            Form_Paint();
    });
}

void frmSetStart::hideEvent(QHideEvent *event)
{
    m_timer2->stop();
    m_arrows.releaseAll();
    QWidget::hideEvent(event);
}

void frmSetStart::Form_Paint()
{
    m_gridSetupRequested = false;
    const QString tag = m_context.navigationTag;
    // A new recording, a new start or another file from the log ends the viewing of a file
    // from the log, so that file's view never hides the video now handed over.
    if (tag == QLatin1String("Capture") || tag == QLatin1String("Setup") ||
        tag == QLatin1String("CaptureGoToTimer") || tag == QLatin1String("View"))
        m_viewDone = false;
    if (m_viewDone)
        return;
    m_context.debugLog().DebugLogWrite(QStringLiteral("SetStart Form painted"));
    m_timer2->start();
    showDiskSpace();
    if (tag == QLatin1String("Capture")) {
        m_context.navigationTag.clear();
        afterRecording();
    } else if (tag == QLatin1String("Setup") || tag == QLatin1String("CaptureGoToTimer")) {
        m_text6->clear();
    } else if (tag == QLatin1String("View")) {
        viewFile();
    }
    m_label9->setVisible(m_context.settings().readFlag(QStringLiteral("barefoot"), false));
}

void frmSetStart::showDiskSpace()
{
    const DiskSpace space = DiskSpace::of(m_context.videoDirectory);
    m_label10->setText(QStringLiteral("Disk Space Available ") + space.drive);
    m_lblDiskSpace->setText(space.megabytesText);
    m_label11->setVisible(space.low);
}

bool frmSetStart::loadIntoPlayer(const QString &path)
{
    forgetSuggestion();
    m_leadUp.cancel();
    m_timer1->stop();
    if (path.isEmpty()) {
        m_player->unload();
        return false;
    }
    QString failure;
    if (!m_player->load(path, &failure)) {
        m_context.prompter().inform(
            frame_messages::withPath(frame_messages::kErrorWorkingWithFile, path),
            MessageIcon::Information, kApplicationTitle);
        m_context.debugLog().DebugLogWrite(QStringLiteral("Video not opened: ") + path +
                                           QStringLiteral(" ") + failure);
        return false;
    }
    m_text9->setText(QStringLiteral("0"));
    return true;
}

void frmSetStart::afterRecording()
{
    JumpHandOver &handOver = m_context.handOver;
    m_text6->setText(handOver.captureFilePath);
    if (handOver.captureNameChanged)
        resolveSkierName();
    handOver.jumpRecording = m_text6->text();
    loadIntoPlayer(m_text6->text());
    m_startFixed = false;
    setChoosingEnabled(true);
    if (handOver.contactFrame > 0) {
        m_startFrame = handOver.contactFrame;
        m_player->setPosition(m_startFrame);
        m_leadUp.cancel();
        m_label5->setText(kStartText);
    }
    m_frameRate = handOver.captureFrameRate;
    m_lengthFrames = handOver.capturedFrameCount;
    startContactSearch();
}

// ---- The suggested first contact ----

void frmSetStart::forgetSuggestion()
{
    m_contactSearch->cancel();
    m_suggestedFrame = -1;
    m_pressedFrame = -1;
    m_openedAt = -1;
    m_context.handOver.suggestedContactFrame = -1;
    m_lblSuggested->clear();
    m_cmdGoToSuggested->setEnabled(false);
    m_player->setMarks(-1, -1);
}

void frmSetStart::startContactSearch()
{
    if (m_player->frameCount() <= 0)
        return;
    const JumpHandOver &handOver = m_context.handOver;
    m_pressedFrame = handOver.contactPressed ? handOver.contactFrame : -1;
    m_openedAt = m_player->position();
    m_player->setMarks(-1, m_pressedFrame);
    m_lblSuggested->setText(contactSearchingText());
    // A recording just made was searched while it was recorded, and its find is all but
    // there: a moment's wait opens the recording at the suggestion instead of moving there
    // from half way. Otherwise the search goes on, or reads the file, on the job's thread,
    // with the grid of the camera that recorded: the one in use.
    const QString path = m_player->fileName();
    const std::shared_ptr<RecordingContactSearch> recorded =
        m_context.captureDevice().contactSearchOf(path);
    if (recorded) {
        if (const std::optional<ContactSearch> early = recorded->wait({}, kSuggestionWait)) {
            contactSearched(path, *early);
            return;
        }
    }
    m_contactSearch->start(path, m_context.grids().active(), recorded);
}

void frmSetStart::contactSearched(const QString &videoPath, const ContactSearch &search)
{
    if (videoPath != m_player->fileName())
        return;
    const ContactFind &find = search.find;
    m_context.debugLog().DebugLogWrite(
        QStringLiteral("Contact search: ") + contactSuggestionText(find, m_pressedFrame) +
        QStringLiteral(", ") + QString::number(search.searchMs, 'f', 0) +
        (search.whileRecording ? QStringLiteral(" ms after the recording closed")
                               : QStringLiteral(" ms reading the recording")));
    m_lblSuggested->setText(contactSuggestionText(find, m_pressedFrame));
    if (!find.found || find.frame >= m_player->frameCount())
        return;
    m_suggestedFrame = find.frame;
    m_context.handOver.suggestedContactFrame = find.frame;
    m_context.handOver.suggestedContactPoint = find.point;
    m_cmdGoToSuggested->setEnabled(true);
    m_player->setMarks(m_suggestedFrame, m_pressedFrame);
    // Without a Contact press the recording moves to the suggestion, unless the operator has
    // already stepped away from where it opened.
    if (m_pressedFrame < 0 && m_player->position() == m_openedAt && !m_leadUp.playing())
        m_player->setPosition(m_suggestedFrame);
}

void frmSetStart::cmdGoToSuggested_Click()
{
    if (m_suggestedFrame < 0 || m_player->frameCount() <= 0)
        return;
    m_leadUp.cancel();
    m_player->setPosition(m_suggestedFrame);
    m_text9->setText(QString::number(m_player->position()));
}

void frmSetStart::resolveSkierName()
{
    JumpHandOver &handOver = m_context.handOver;
    handOver.captureNameChanged = false;
    const RecordingRename::Outcome outcome =
        RecordingRename::resolve({m_context.videoDirectory, m_text6->text(),
                                  handOver.captureSkierName, handOver.captureAttemptText},
                                 m_context.prompter());
    if (!outcome.settled) {
        emit skierNameSettled(handOver.captureSkierName, handOver.captureAttemptText);
        return;
    }
    m_text6->setText(outcome.path);
    handOver.captureFilePath = outcome.path;
    emit skierNameSettled(outcome.skierName, QStringLiteral("2"));
    const QString base = QFileInfo(outcome.path).completeBaseName();
    const QString jumpNo = base.mid(base.lastIndexOf(QStringLiteral("jump")) + 4);
    emit skierForMeasure(outcome.skierName.trimmed(), jumpNo);
}

void frmSetStart::viewFile()
{
    // Consumed, so showing this screen again keeps the file on show.
    m_context.navigationTag.clear();
    m_viewDone = true;
    m_text6->setText(m_context.handOver.viewFileName);
    const bool loaded = loadIntoPlayer(m_text6->text());
    Prompter &prompter = m_context.prompter();
    const QString path = m_text6->text();
    if (const std::optional<int> frame = MeasuredSideFile::measuredFrame(path)) {
        prompter.inform(MeasuredSideFile::contactWarning(*frame), MessageIcon::None,
                        MeasuredSideFile::kWarningTitle);
        // The video opens at the frame measured then, the one the operator will look at.
        if (loaded)
            m_player->setPosition(*frame);
    }
    m_frameRate = mmInfo::AviFrameRate(path, prompter);
    m_lengthFrames = mmInfo::AviLength(path, prompter);
    setChoosingEnabled(true);
    m_command1->setEnabled(true);
    m_command4->setEnabled(true);
    m_startFixed = false;
    m_label5->setText(kContactText);
    m_player->view()->setFocus();
}

// ---- Browse ----

void frmSetStart::Command6_Click()
{
    Prompter &prompter = m_context.prompter();
    FileDialogRequest request;
    request.startDirectory = m_context.videoDirectory;
    request.filters = parseFilterText(QStringLiteral("*.avi|*.avi"));
    std::optional<int> measuredBefore;
    if (const std::optional<QString> chosen = prompter.chooseFile(request)) {
        if (mmInfo::IsAviFile(*chosen, prompter)) {
            m_text6->setText(*chosen);
            measuredBefore = MeasuredSideFile::measuredFrame(*chosen);
            if (measuredBefore)
                prompter.inform(MeasuredSideFile::startWarning(*measuredBefore),
                                MessageIcon::None, MeasuredSideFile::kWarningTitle);
            setChoosingEnabled(true);
            m_label5->setText(kStartText);
            AviFileInfo info;
            m_lstFileInfo->clear();
            if (mmInfo::ReadAviFileInfo(*chosen, &info, prompter)) {
                m_frameRate = mmInfo::frameRateOf(info);
                m_lengthFrames = int(info.length);
                m_lstFileInfo->addItems(mmInfo::fileInfoLines(*chosen, info));
            }
        } else {
            prompter.inform(frame_messages::kNotValidAvi, MessageIcon::Exclamation,
                            kApplicationTitle);
        }
    }
    m_player->view()->setFocus();
    const bool loaded = loadIntoPlayer(m_text6->text());
    if (loaded && measuredBefore)
        m_player->setPosition(*measuredBefore);
    m_startFixed = false;
    // Choosing needs a video on show: with none, the choosing buttons stay off.
    m_cmdMarkStart->setEnabled(loaded);
    m_command1->setEnabled(true);
    m_command4->setEnabled(true);
}

// ---- Stepping ----

void frmSetStart::Command4_Click()
{
    m_player->stepForward();
    m_text9->setText(QString::number(m_player->position()));
}

void frmSetStart::Command1_Click()
{
    if (m_player->position() >= 1)
        m_player->stepBack();
    m_text9->setText(QString::number(m_player->position()));
}

void frmSetStart::Timer2_Timer()
{
    const std::optional<ArrowKey> key = m_arrows.poll();
    if (key == ArrowKey::Left && m_command1->isEnabled())
        Command1_Click();
    else if (key == ArrowKey::Right && m_command4->isEnabled())
        Command4_Click();
}

bool frmSetStart::keyOnThisScreen(QObject *watched) const
{
    return watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this;
}

bool frmSetStart::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !keyOnThisScreen(watched))
        return QWidget::eventFilter(watched, event);
    // A key event visits each widget from the focus up to the screen; only its first visit
    // counts.
    const auto *key = static_cast<QKeyEvent *>(event);
    const QWidget *focus = QApplication::focusWidget();
    if (focus ? watched != focus : watched != this)
        return QWidget::eventFilter(watched, event);

    const std::optional<ArrowKey> arrow = ArrowKeyState::fromQtKey(key->key());
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            m_lblKeyDown->hide();
            if (arrow)
                m_arrows.release(*arrow);
        }
        return QWidget::eventFilter(watched, event);
    }

    const int code = keyCode(key);
    m_text1->setText(QString::number(code));
    m_lblKeyDown->show();
    if (arrow && !key->isAutoRepeat()) {
        m_arrows.press(*arrow);
        // The press steps at once; holding the key steps again every 100 ms from here.
        if (m_timer2->isActive()) {
            m_timer2->start();
            Timer2_Timer();
        }
        return true;
    }
    if (arrow)
        return true; // held arrows repeat through the timer, not through the keyboard's repeat
    const bool typing = qobject_cast<const QLineEdit *>(focus) != nullptr;
    if (!typing && (code == kKeypad6 || code == kKeypad4)) {
        m_text2->setText(QString::number(code));
        if (code == kKeypad6)
            Command4_Click();
        else
            Command1_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmSetStart::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && isVisible())
        m_timer2->start();
    else if (event->type() == QEvent::WindowDeactivate) {
        m_timer2->stop();
        m_arrows.releaseAll();
    }
    return QWidget::event(event);
}

// ---- Lead-up playback ----

double frmSetStart::frameRate() const
{
    // A recording whose rate did not come with it plays at the rate the file gives.
    return m_frameRate > 0 ? m_frameRate : m_player->frameRate();
}

void frmSetStart::Command5_Click()
{
    if (m_leadUp.playing())
        return;
    if (m_cbFullScreen->isChecked())
        m_player->setFullScreen(true);
    const int repeats = int(Val(m_txtStartLoop->text()));
    if (!m_startFixed)
        m_startFrame = int(roundHalfEven(m_player->position()));
    const LeadUpPlayback::Span span =
        LeadUpPlayback::span(m_startFrame, Val(m_text4->text()), frameRate());
    m_text5->setText(QString::number(span.shownIntervalMs));
    m_leadUp.start(span, repeats);
    m_timer1->start(span.timerMs);
    m_player->play(span.fromFrame, span.toFrame);
    if (!m_player->isFullScreen())
        m_player->view()->setFocus();
}

void frmSetStart::Timer1_Timer()
{
    m_timer1->stop();
    if (m_leadUp.tick()) {
        m_timer1->start();
        const LeadUpPlayback::Span &span = m_leadUp.currentSpan();
        m_player->play(span.fromFrame, span.toFrame);
        return;
    }
    m_player->setFullScreen(false);
    m_command5->setFocus();
}

// ---- Choosing the frame ----

void frmSetStart::cmdMarkStart_Click()
{
    chooseFrame();
}

void frmSetStart::btnGoToSetup_Click()
{
    m_gridSetupRequested = true;
    chooseFrame();
}

void frmSetStart::chooseFrame()
{
    if (m_player->fileName().isEmpty())
        return;
    m_startFixed = true;
    m_timer1->stop();
    m_leadUp.cancel();
    m_player->stop();
    m_player->setFullScreen(false);
    // The frame measured is the one whose picture the operator sees, which may still be the
    // one before the position while the next picture is on its way.
    const int shown = m_player->shownFrame();
    if (shown < 0) {
        m_context.prompter().inform(FrameChoice::kNoFrameOnScreen, MessageIcon::Exclamation);
        return;
    }
    const std::optional<int> chosen = FrameChoice::choose(
        {m_context.prompter(), m_context.debugLog(), m_context.handOver, m_context.paths()},
        m_player->fileName(), shown);
    if (!chosen)
        return; // the frame picture was not written: the operator stays here, told why
    m_startFrame = *chosen;
    m_context.navigationTag = QStringLiteral("SelectFrame");
    Navigator &navigator = m_context.navigator();
    if (!m_context.grids().allGridsReady()) {
        m_context.prompter().inform(FrameChoice::kGridsNotConfigured, MessageIcon::Exclamation);
        navigator.show(ScreenId::GridSetup);
    } else if (m_gridSetupRequested) {
        navigator.show(ScreenId::GridSetup);
    } else {
        navigator.show(ScreenId::Measure);
    }
}

// ---- Ways back ----

void frmSetStart::leaveFor(bool capture)
{
    m_command1->setEnabled(true);
    m_command4->setEnabled(true);
    m_timer2->stop();
    m_player->stop();
    m_context.navigationTag = QStringLiteral("Timer");
    if (capture)
        m_context.handOver.startFocusPending = true;
    m_context.navigator().show(capture ? ScreenId::Capture : ScreenId::Main);
    hide();
}

void frmSetStart::cmdGoToCapture_Click()
{
    leaveFor(true);
}

void frmSetStart::cmdGoToSetup_Click()
{
    leaveFor(false);
}

void frmSetStart::cmdViewLog_Click()
{
    m_viewDone = false;
    m_context.navigator().show(ScreenId::VideoLog);
}

void frmSetStart::releaseVideo()
{
    m_timer1->stop();
    m_leadUp.cancel();
    m_player->unload();
}

} // namespace skelvin
