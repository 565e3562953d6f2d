#include "ui/capture/PreviewForm.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/capture/CaptureDevice.h"
#include "core/capture/CaptureErrorText.h"
#include "core/capture/CaptureTiming.h"
#include "core/capture/VideoFileName.h"
#include "core/common/FileAccessible.h"
#include "core/common/NumberText.h"
#include "core/common/SkierNamesFile.h"
#include "core/measure/ExchangeFiles.h"
#include "ui/capture/CameraSteadySign.h"
#include "ui/capture/PreviewView.h"
#include "ui/common/KeyCodes.h"
#include "ui/common/Maximized.h"
#include "ui/common/Named.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace skelvin {

PreviewForm::PreviewForm(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Skelvin 2005 Capture Screen"));
    buildControls();
    // The live picture is the largest thing on the screen: the screen fills the monitor.
    showMaximizedWhenShown(this);
    // Every key pressed anywhere on the screen passes here first (its code is shown, Esc stops).
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

PreviewForm::~PreviewForm()
{
    m_context.captureDevice().DisconnectDevice();
}

void PreviewForm::buildControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    m_preview = new PreviewView(m_context.captureDevice());
    layout->addWidget(m_preview, 1);

    auto *side = new QWidget;
    side->setObjectName(QStringLiteral("captureControls"));
    side->setFixedWidth(330);
    auto *column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;
    m_txtSkierName = named(new QLineEdit(QStringLiteral("SkierName")), "txtSkierName");
    form->addRow(QStringLiteral("Skier Name"), m_txtSkierName);
    auto *nameButtons = new QHBoxLayout;
    auto *btnGetName = named(new QPushButton(QStringLiteral("Get WSTIMS name")), "btnGetName");
    auto *cmdSelect = named(new QPushButton(QStringLiteral("Select Name")), "cmdSelect");
    nameButtons->addWidget(btnGetName);
    nameButtons->addWidget(cmdSelect);
    form->addRow(nameButtons);
    m_txtPass = named(new QLineEdit(QStringLiteral("1")), "txtPass");
    form->addRow(QStringLiteral("Attempt Number"), m_txtPass);
    m_captureTimeValue = named(new QComboBox, "captureTimeValue");
    m_captureTimeValue->addItems(captureTimeItems());
    m_captureTimeValue->setCurrentIndex(-1);
    form->addRow(QStringLiteral("Length of time to record"), m_captureTimeValue);
    m_captime = named(new QLabel(QStringLiteral("5")), "captime");
    QFont big = m_captime->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    m_captime->setFont(big);
    form->addRow(QStringLiteral("Capture Time Left"), m_captime);
    column->addLayout(form);

    m_cmdStartCapture =
        named(new QPushButton(QStringLiteral("Start Recording     (skier hits ramp)")),
              "cmdStartCapture");
    m_cmdStartTimer = named(new QPushButton(QStringLiteral("Contact")), "cmdStartTimer");
    m_cmdEndCapture = named(new QPushButton(QStringLiteral("Stop Recording")), "cmdEndCapture");
    for (QPushButton *b : {m_cmdStartCapture, m_cmdStartTimer, m_cmdEndCapture}) {
        b->setMinimumHeight(44);
        column->addWidget(b);
    }
    m_cmdStartTimer->setEnabled(false);
    m_cmdEndCapture->setEnabled(false);
    column->addWidget(new QLabel(QStringLiteral("Hit ESC to stop recording")));
    m_label4 = named(new QLabel(QStringLiteral("Label4")), "Label4");
    m_label4->setWordWrap(true);
    m_label4->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    // Shown only with a warning in it, however the screen is reached.
    m_label4->hide();
    column->addWidget(m_label4);
    m_lblTimeLimit = named(new QLabel, "lblTimeLimitWarning");
    m_lblTimeLimit->setWordWrap(true);
    m_lblTimeLimit->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    m_lblTimeLimit->hide();
    column->addWidget(m_lblTimeLimit);
    m_lblWriting = named(new QLabel, "lblWriting");
    m_lblWriting->setWordWrap(true);
    m_lblWriting->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_lblWriting->hide();
    column->addWidget(m_lblWriting);
    column->addWidget(new CameraSteadySign(m_context.captureDevice(), m_context.grids()));

    auto *counts = new QFormLayout;
    m_lblStartFrame = named(new QLabel(QStringLiteral("0")), "lblStartFrame");
    m_lblFrame = named(new QLabel(QStringLiteral("0")), "LblFrame");
    m_lblFrmDrop = named(new QLabel(QStringLiteral("0")), "LblFrmDrop");
    counts->addRow(QStringLiteral("Contact Frame"), m_lblStartFrame);
    counts->addRow(QStringLiteral("Frames Recorded"), m_lblFrame);
    counts->addRow(QStringLiteral("Frames Dropped"), m_lblFrmDrop);
    column->addLayout(counts);
    column->addStretch();

    m_btnCaptureFrame = named(new QPushButton(QStringLiteral("Capture Frame")), "btnCaptureFrame");
    m_cmdGoToTimer =
        named(new QPushButton(QStringLiteral("View Already Recorded Jumps")), "cmdGoToTimer");
    m_cmdGoSetup = named(new QPushButton(QStringLiteral("Go Back To Main Screen")), "cmdGoSetup");
    for (QPushButton *b : {m_btnCaptureFrame, m_cmdGoToTimer, m_cmdGoSetup})
        column->addWidget(b);
    m_text1 = named(new QLineEdit, "Text1");
    m_text1->setReadOnly(true);
    m_text1->setFocusPolicy(Qt::NoFocus);
    m_text1->setMaximumWidth(60);
    column->addWidget(m_text1);
    layout->addWidget(side);
    setCentralWidget(central);

    QMenuBar *bar = menuBar();
    QAction *start = bar->addAction(QStringLiteral("&Start Recording"));
    start->setObjectName(QStringLiteral("mnuStart"));
    QAction *results = bar->addAction(QStringLiteral("&Results"));
    results->setObjectName(QStringLiteral("mnuResults"));

    m_timer40 = new QTimer(this);
    m_timer40->setObjectName(QStringLiteral("Timer40"));
    m_timer40->setInterval(1000);

    connect(m_txtSkierName, &QLineEdit::textChanged, this, &PreviewForm::txtSkierName_Change);
    connect(m_txtPass, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_context.handOver.captureAttemptText = text; });
    connect(m_captureTimeValue, &QComboBox::activated, this, &PreviewForm::captureTimeValue_Click);
    connect(btnGetName, &QPushButton::clicked, this, &PreviewForm::btnGetName_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &PreviewForm::cmdSelect_Click);
    connect(m_cmdStartCapture, &QPushButton::clicked, this, &PreviewForm::cmdStartCapture_Click);
    connect(start, &QAction::triggered, this, [this] {
        if (m_cmdStartCapture->isEnabled())
            cmdStartCapture_Click();
    });
    connect(m_cmdStartTimer, &QPushButton::clicked, this, &PreviewForm::cmdStartTimer_Click);
    connect(m_cmdEndCapture, &QPushButton::clicked, this, &PreviewForm::cmdEndCapture_Click);
    connect(m_btnCaptureFrame, &QPushButton::clicked, this, &PreviewForm::btnCaptureFrame_Click);
    connect(m_cmdGoToTimer, &QPushButton::clicked, this, &PreviewForm::cmdGoToTimer_Click);
    connect(m_cmdGoSetup, &QPushButton::clicked, this, &PreviewForm::cmdGoSetup_Click);
    connect(results, &QAction::triggered, this,
            [this] { m_context.navigator().show(ScreenId::Results); });
    connect(m_timer40, &QTimer::timeout, this, &PreviewForm::Timer40_Timer);
    connect(&m_context.captureDevice(), &CaptureDevice::recordingEnded, this,
            &PreviewForm::recordingEndedBySelf);
    m_context.handOver.captureSkierName = m_txtSkierName->text();
    m_context.handOver.captureAttemptText = m_txtPass->text();
}

bool PreviewForm::recording() const
{
    return m_cmdEndCapture->isEnabled();
}

void PreviewForm::showEvent(QShowEvent *event)
{
    if (!m_loaded)
        Form_Load();
    QMainWindow::showEvent(event);
}

void PreviewForm::Form_Load()
{
    m_loaded = true;
    m_painted = false;
    SettingsStore &settings = m_context.settings();
    const CaptureTimeChoice choice =
        captureTimeAtLoad(settings.readNumber(QStringLiteral("captureTime"), 0));
    m_captureTimeValue->setCurrentIndex(choice.itemIndex);
    m_captureSeconds = choice.seconds;
    showTimeLimitWarning();
    if (choice.storeBack)
        settings.write(QStringLiteral("captureTime"), QStringLiteral("5"));

    const QString names = m_context.paths().appFile(SkierNamesFile::kFileName);
    if (FileAccessible(names)) {
        const QString first = SkierNamesFile::firstName(names);
        if (!first.isEmpty())
            setSkierName(first);
    } else {
        setSkierName(QStringLiteral("Skier Name"));
    }
}

void PreviewForm::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    // Questions are not asked from inside a paint.
    QTimer::singleShot(0, this, &PreviewForm::firstPaint);
}

void PreviewForm::firstPaint()
{
    m_captime->setText(CStr(m_captureSeconds));
    const QString tag = m_context.navigationTag;
    if (tag != QLatin1String("Setup") && tag != QLatin1String("Timer"))
        return;
    m_label4->hide();
    const FreeAttempt free =
        firstFreeAttempt(m_context.videoDirectory, m_txtSkierName->text(), m_txtPass->text());
    m_txtPass->setText(free.attemptText);
    Prompter &prompter = m_context.prompter();
    if (free.raised > 0)
        prompter.inform(
            QStringLiteral("Warning, the pass number was changed because a file for that pass "
                           "already existed.  You may need to change the skier name"),
            MessageIcon::Exclamation, QStringLiteral("Duplicate File Warning"));
    if (Val(m_txtPass->text()) > 3)
        prompter.inform(
            QStringLiteral("Warning, the jump number is greater than 3.  You may need to "
                           "change the skier name"),
            MessageIcon::Exclamation, QStringLiteral("Possible Name Change Warning"));
    m_context.navigationTag.clear();
}

bool PreviewForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (m_context.handOver.startFocusPending)
            m_cmdStartCapture->setFocus();
        m_context.debugLog().DebugLogWrite(QStringLiteral("Capture Video Form Activated"));
    }
    return QMainWindow::event(event);
}

bool PreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtSkierName && event->type() == QEvent::MouseButtonDblClick) {
        openSkierList();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        m_text1->setText(QString::number(keyCode(key)));
        if (key->key() == Qt::Key_Escape) {
            escapePressed();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void PreviewForm::closeEvent(QCloseEvent *event)
{
    // Closing the window while recording ends the recording properly (the file is complete and
    // the attempt moves on); the main screen then comes back.
    if (recording()) {
        m_timer40->stop();
        stopRecording(false);
    }
    m_context.handOver.startFocusPending = false;
    QMainWindow::closeEvent(event);
}

void PreviewForm::setSkierName(const QString &name)
{
    m_txtSkierName->setText(name);
}

void PreviewForm::nameSettled(const QString &skierName, const QString &attemptText)
{
    m_label4->hide();
    m_context.handOver.captureNameChanged = false;
    m_txtSkierName->setText(skierName);
    m_txtPass->setText(attemptText);
}

void PreviewForm::txtSkierName_Change(const QString &text)
{
    m_txtPass->setText(QStringLiteral("1"));
    if (text.contains(QLatin1Char(','))) {
        m_context.prompter().inform(
            QStringLiteral("Sorry, you cannot use the \",\" character in this box"),
            MessageIcon::None, QStringLiteral("Input Error"));
        m_txtSkierName->setText(QString(text).replace(QLatin1Char(','), QLatin1Char(' ')));
        return;
    }
    m_context.handOver.captureSkierName = text;
}

void PreviewForm::captureTimeValue_Click(int index)
{
    if (index < 0)
        return;
    const QString text = m_captureTimeValue->itemText(index);
    m_context.settings().write(QStringLiteral("captureTime"), text);
    m_captureSeconds = Val(text);
    m_captime->setText(CStr(m_captureSeconds));
    showTimeLimitWarning();
}

void PreviewForm::setPanelTimeLimit(int seconds)
{
    m_panelTimeLimit = seconds;
    showTimeLimitWarning();
}

void PreviewForm::showTimeLimitWarning()
{
    const QString warning = timeLimitWarning(m_captureSeconds, m_panelTimeLimit);
    m_lblTimeLimit->setText(warning);
    m_lblTimeLimit->setVisible(!warning.isEmpty());
}

QString PreviewForm::videoPath() const
{
    return videoFileName(m_context.videoDirectory, m_txtSkierName->text(), m_txtPass->text());
}

void PreviewForm::cmdStartCapture_Click()
{
    if (const QString problem = attemptNumberProblem(m_txtPass->text()); !problem.isEmpty()) {
        m_context.prompter().inform(problem, MessageIcon::Exclamation,
                                    QStringLiteral("Input Error"));
        m_txtPass->setFocus();
        m_txtPass->selectAll();
        return;
    }
    m_btnCaptureFrame->setEnabled(false);
    m_lblStartFrame->setText(QStringLiteral(" "));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_context.debugLog().DebugLogWrite(QStringLiteral("Start Capture"));

    const FreeName free =
        firstFreeName(m_context.videoDirectory, m_txtSkierName->text(), m_txtPass->text());
    m_context.handOver.captureNameChanged = free.changed;
    if (free.changed) {
        m_txtSkierName->setText(free.skierName);
        m_label4->setText(QStringLiteral("WARNING! Skier Name has been changed to ") +
                          free.skierName + QStringLiteral(" to prevent duplicate files"));
        m_label4->show();
    }
    m_captureFileName = videoPath();
    emit skierForMeasure(m_txtSkierName->text().trimmed(), m_txtPass->text());
    m_context.debugLog().DebugLogWrite(QStringLiteral("Capture File: ") + m_captureFileName);
    emit captureValuesNeeded();

    // The control ends the recording itself once it holds the capture time's frames.
    CaptureDevice &device = m_context.captureDevice();
    device.setTimeLimitSeconds(m_captureSeconds);
    device.setCaptureFileName(m_captureFileName);
    // The first contact is looked for while the jump records, over the grid in use.
    device.searchContactInNextRecording(m_context.grids().active());
    if (const CaptureFailure failure = device.StartCapture()) {
        QApplication::restoreOverrideCursor();
        informCaptureError(m_context.prompter(), *failure, ErrorNumberBase::Hexadecimal);
        return;
    }
    m_timer40->start(1000);
    m_secondsLeft = m_captureSeconds;
    m_captime->setText(CStr(m_captureSeconds));
    m_cmdStartCapture->setEnabled(false);
    m_cmdStartTimer->setEnabled(true);
    m_cmdEndCapture->setEnabled(true);
    QApplication::restoreOverrideCursor();
    m_cmdStartTimer->setFocus();
    m_cmdGoToTimer->setEnabled(false);
    m_cmdGoSetup->setEnabled(false);
}

void PreviewForm::cmdStartTimer_Click()
{
    const int frames = m_context.captureDevice().FramesCaptured();
    m_lblStartFrame->setText(QString::number(frames));
    m_context.handOver.contactFrame = frames;
}

void PreviewForm::setContactToHalfway()
{
    m_context.handOver.contactPressed = m_lblStartFrame->text() != QLatin1String(" ");
    if (!m_context.handOver.contactPressed)
        // The frame-rate box of the main screen is stored at its every change.
        m_context.handOver.contactFrame = halfwayContactFrame(
            m_context.settings().read(QStringLiteral("framerate")), m_captureSeconds);
}

// The countdown shows the time left; the control ends the recording when it holds its frames
// (recordingEndedBySelf). Should it not have ended a little after the countdown (a camera that
// delivers nothing), the screen stops the recording itself.
void PreviewForm::Timer40_Timer()
{
    m_secondsLeft -= 1;
    m_captime->setText(CStr(std::max(0.0, m_secondsLeft)));
    if (m_secondsLeft <= -kRecordingEndGraceSeconds) {
        endTimedRecording();
        return;
    }
    showCounters();
}

void PreviewForm::showCounters()
{
    const CaptureDevice &device = m_context.captureDevice();
    m_lblFrame->setText(QString::number(device.FramesCaptured()));
    m_lblFrmDrop->setText(QString::number(device.FramesDropped()));
}

// The end of a timed recording: the contact frame defaults to the middle, and frame selection
// opens with the file.
void PreviewForm::endTimedRecording()
{
    m_timer40->stop();
    setContactToHalfway();
    showCounters();
    stopRecording(true);
}

// The control ended the recording (its time limit, a full disk, the camera gone): the countdown
// stops at once and frame selection opens with the frames written; without a frame the screen
// is ready to record the attempt again. A fault was told by the control's warning.
void PreviewForm::recordingEndedBySelf(RecordingEnd how, const QString &)
{
    if (!recording())
        return; // the panel's test capture, or a recording this screen has already stopped
    m_timer40->stop();
    Prompter &prompter = m_context.prompter();
    if (m_context.captureDevice().FramesCaptured() == 0) {
        emit statisticsChanged();
        showCounters();
        showIdle();
        prompter.inform(nothingRecordedText(), MessageIcon::Exclamation);
        return;
    }
    endTimedRecording();
}

void PreviewForm::escapePressed()
{
    // Esc stops a recording; on a screen that is not recording there is nothing to stop, and the
    // attempt must not move on without a video.
    if (!recording())
        return;
    m_timer40->stop();
    setContactToHalfway();
    m_context.debugLog().DebugLogWrite(QStringLiteral("ESC pressed"));
    stopRecording(true);
}

void PreviewForm::cmdEndCapture_Click()
{
    stopRecording(true);
}

void PreviewForm::stopRecording(bool moveOn)
{
    CaptureDevice &device = m_context.captureDevice();
    // On a computer too busy to compress as fast as the camera delivers, Stop waits until the
    // frames taken are written, seconds perhaps: the screen says so, and shows the wait.
    const int waiting = device.FramesWaitingToBeWritten();
    if (waiting >= kWaitingFramesToTell) {
        m_lblWriting->setText(writingRecordingText(waiting));
        m_lblWriting->show();
        m_lblWriting->repaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    device.StopCapture();
    if (m_lblWriting->isVisible()) {
        m_lblWriting->hide();
        QApplication::restoreOverrideCursor();
    }
    emit statisticsChanged();
    showIdle();
    m_txtPass->setText(attemptText(static_cast<int>(Val(m_txtPass->text())) + 1));
    m_context.handOver.captureFilePath = m_captureFileName;
    m_context.handOver.captureFrameRate = wholeFrameRate(device.FrameRate());
    m_context.handOver.capturedFrameCount = device.FramesCaptured();
    m_context.debugLog().DebugLogWrite(QStringLiteral("Capture Complete"));
    if (!moveOn)
        return;
    m_context.navigationTag = QStringLiteral("Capture");
    m_context.handOver.startFocusPending = false;
    m_context.navigator().show(ScreenId::FrameSelection);
}

// Not recording: Start enabled, Contact and Stop disabled, the countdown stopped at the full
// capture time, navigation and Capture Frame enabled.
void PreviewForm::showIdle()
{
    m_timer40->stop();
    m_captime->setText(CStr(m_captureSeconds));
    m_cmdStartCapture->setEnabled(true);
    m_cmdEndCapture->setEnabled(false);
    m_cmdStartTimer->setEnabled(false);
    m_cmdGoToTimer->setEnabled(true);
    m_cmdGoSetup->setEnabled(true);
    m_btnCaptureFrame->setEnabled(true);
}

void PreviewForm::btnCaptureFrame_Click()
{
    // The measure screen's picture is written once, here, whatever the operator's still options.
    if (const CaptureFailure failure =
            m_context.captureDevice().grabFramePicture(m_context.paths().currentCapture())) {
        m_context.prompter().inform(
            QStringLiteral("The picture could not be taken from the camera.\n") +
                failure->description,
            MessageIcon::Exclamation);
        return;
    }
    m_context.navigationTag = QStringLiteral("SelectFrame");
    if (!m_context.grids().allGridsReady()) {
        m_context.prompter().inform(
            QStringLiteral("One or more grids are not configured.  You may not use "
                           "the Measure Screen until all listed grids are configured"),
            MessageIcon::Exclamation);
        m_context.navigator().show(ScreenId::GridSetup);
        return;
    }
    emit skierForMeasure(m_txtSkierName->text().trimmed(), m_txtPass->text());
    m_context.navigator().show(ScreenId::Measure);
}

void PreviewForm::btnGetName_Click()
{
    const std::optional<QString> name =
        ExchangeFiles(m_context.paths().exchangeDir()).readSkierName(m_context.prompter());
    if (!name)
        return;
    emit skierNameForMeasure(*name);
    // The name box takes the name as Start accepts it.
    setSkierName(SkierNamesFile::nameOfQuoted(*name));
}

void PreviewForm::cmdSelect_Click()
{
    if (m_context.tournament().wstims) {
        btnGetName_Click();
        return;
    }
    openSkierList();
}

void PreviewForm::openSkierList()
{
    if (!FileAccessible(m_context.paths().appFile(SkierNamesFile::kFileName))) {
        m_context.prompter().inform(QStringLiteral(
            "No file of skier names called SkierNames.txt exists in the application directory"));
        return;
    }
    m_context.navigator().show(ScreenId::SelectSkier);
}

void PreviewForm::cmdGoToTimer_Click()
{
    m_context.handOver.startFocusPending = false;
    m_context.navigationTag = QStringLiteral("CaptureGoToTimer");
    m_context.navigator().show(ScreenId::FrameSelection);
}

void PreviewForm::cmdGoSetup_Click()
{
    m_context.navigationTag = QStringLiteral("Capture");
    m_context.handOver.startFocusPending = false;
    m_context.navigator().show(ScreenId::Main);
}

} // namespace skelvin
