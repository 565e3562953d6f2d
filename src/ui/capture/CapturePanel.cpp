#include "ui/capture/CapturePanel.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/app/Startup.h"
#include "core/capture/CaptureDevice.h"
#include "core/capture/CaptureErrorText.h"
#include "core/capture/CaptureListChoices.h"
#include "core/capture/CaptureTiming.h"
#include "core/capture/DeviceListChanges.h"
#include "core/capture/TestCaptureFileDialog.h"
#include "core/capture/VideoFileName.h"
#include "core/capture/devices/DeviceCatalog.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "ui/capture/AudioOptionsBox.h"
#include "ui/capture/ComboLists.h"
#include "ui/capture/DeviceSettingsDialog.h"
#include "ui/capture/StillOptionsBox.h"
#include "ui/common/Named.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace skelvin {

namespace {

// The busy pointer while a handler talks to the device; the normal pointer again on every way out.
class BusyPointer
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

} // namespace

CapturePanel::CapturePanel(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("CapturePanel"));
    buildControls();
    CaptureDevice &control = device();
    connect(&control, &CaptureDevice::statusCode, this, &CapturePanel::statusCode);
    connect(&control, &CaptureDevice::statusText, this,
            [this](const QString &text) { m_lblStatus->setText(text); });
    connect(&control, &CaptureDevice::warning, this, [this](const QString &text) {
        m_context.prompter().inform(QStringLiteral("Warning: ") + text, MessageIcon::Exclamation);
    });
    connect(&control, &CaptureDevice::deviceListChanged, this, &CapturePanel::deviceListChanged);
}

CaptureDevice &CapturePanel::device()
{
    return m_context.captureDevice();
}

void CapturePanel::buildControls()
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget *devices = buildDeviceGroup();
    QWidget *test = buildTestCapture();
    m_strmOptions = named(new QGroupBox(QStringLiteral("Options")), "StrmOptions");
    m_strmOptions->setLayout(new QVBoxLayout);
    m_strmOptions->layout()->addWidget(buildStreamOptions());
    m_frmOptions = named(new QGroupBox(QStringLiteral("Options")), "FrmOptions");
    m_frmOptions->setLayout(new QVBoxLayout);
    m_stillOptions = new StillOptionsBox;
    m_frmOptions->layout()->addWidget(m_stillOptions);
    connect(m_stillOptions, &StillOptionsBox::autoSaveChanged, this, [this] { SetCaptureValues(); });
    m_lblStatus = named(new QLabel, "LblStatus");
    m_lblStatus->setWordWrap(true);
    // One line kept for it (a longer status wraps onto a second), so the main screen with the
    // panel fits a 768-pixel-high display.
    m_lblStatus->setMinimumHeight(m_lblStatus->fontMetrics().height());

    layout->addWidget(devices, 0, 0, 2, 1);
    layout->addWidget(m_strmOptions, 0, 1);
    layout->addWidget(m_frmOptions, 0, 2);
    layout->addWidget(test, 1, 1, 1, 2);
    layout->addWidget(m_lblStatus, 2, 0, 1, 3);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(2, 2);
    m_configurationParts = {devices, test, m_strmOptions, m_frmOptions, m_lblStatus};
}

QWidget *CapturePanel::buildDeviceGroup()
{
    auto *group = named(new QGroupBox(QStringLiteral("Video Device")), "DeviceFrame");
    auto *form = new QFormLayout(group);
    m_combo1 = named(new QComboBox, "Combo1");
    form->addRow(QStringLiteral("Video Device:"), m_combo1);
    auto *buttons = new QHBoxLayout;
    m_cmdConnect = named(new QPushButton(QStringLiteral("Connect")), "CmdConnect");
    m_cmdPreview = named(new QPushButton(QStringLiteral("Preview On")), "CmdPreview");
    m_videoConfig = named(new QPushButton(QStringLiteral("Configure...")), "VideoConfig");
    buttons->addWidget(m_cmdConnect);
    buttons->addWidget(m_cmdPreview);
    buttons->addWidget(m_videoConfig);
    form->addRow(buttons);
    auto addList = [&](QComboBox *&list, const char *listName, QLabel *&label,
                       const char *labelName, const QString &caption) {
        list = named(new QComboBox, listName);
        label = named(new QLabel(caption), labelName);
        form->addRow(label, list);
    };
    addList(m_videoInput, "VideoInput", m_inputLabel, "InputLabel", QStringLiteral("Input:"));
    addList(m_channel, "Channel", m_channelLabel, "ChannelLabel", QStringLiteral("Channel:"));
    addList(m_resolutionCombo, "ResolutionCombo", m_resolLabel, "ResolLabel",
            QStringLiteral("Resolution:"));
    addList(m_colorFormatCombo, "ColorFormatCombo", m_colorLabel, "ColorLabel",
            QStringLiteral("Color Format:"));
    m_effect = named(new QComboBox, "Effect");
    form->addRow(QStringLiteral("Effect:"), m_effect);

    connect(m_cmdConnect, &QPushButton::clicked, this, &CapturePanel::CmdConnect_Click);
    connect(m_cmdPreview, &QPushButton::clicked, this, &CapturePanel::CmdPreview_Click);
    connect(m_videoConfig, &QPushButton::clicked, this, &CapturePanel::VideoConfig_Click);
    connect(m_videoInput, &QComboBox::currentIndexChanged, this, &CapturePanel::VideoInput_Click);
    connect(m_channel, &QComboBox::currentIndexChanged, this, &CapturePanel::Channel_Click);
    connect(m_resolutionCombo, &QComboBox::currentIndexChanged, this,
            &CapturePanel::ResolutionCombo_Click);
    connect(m_colorFormatCombo, &QComboBox::currentIndexChanged, this,
            &CapturePanel::ColorFormatCombo_Click);
    connect(m_effect, &QComboBox::currentIndexChanged, this, &CapturePanel::Effect_Click);
    return group;
}

QWidget *CapturePanel::buildStreamOptions()
{
    auto *box = new QWidget;
    auto *form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    m_edtRate = named(new QLineEdit, "EdtRate");
    form->addRow(QStringLiteral("Frame Rate (fps)"), m_edtRate);
    m_edtLimit = named(new QLineEdit, "EdtLimit");
    form->addRow(QStringLiteral("Time Limit (sec)"), m_edtLimit);
    connect(m_edtLimit, &QLineEdit::textChanged, this,
            [this] { emit timeLimitChanged(roundedEntry(m_edtLimit->text())); });
    // A rate such as 29.97 is taken to the nearest whole frame; the time limit is whole seconds.
    m_edtRate->setValidator(new NumberEntryValidator(NumberEntry::Fraction, {}, m_edtRate));
    m_edtLimit->setValidator(new NumberEntryValidator(NumberEntry::Whole, {}, m_edtLimit));
    m_compressionCombo = named(new QComboBox, "CompressionCombo");
    m_comprConfig = named(new QPushButton(QStringLiteral("Configure...")), "ComprConfig");
    auto *compression = new QHBoxLayout;
    compression->addWidget(m_compressionCombo, 1);
    compression->addWidget(m_comprConfig);
    form->addRow(QStringLiteral("Compression:"), compression);
    m_audio = new AudioOptionsBox(device(), m_context.prompter());
    form->addRow(m_audio);

    connect(m_edtRate, &QLineEdit::textChanged, this, &CapturePanel::EdtRate_Change);
    connect(m_compressionCombo, &QComboBox::currentIndexChanged, this,
            &CapturePanel::CompressionCombo_Click);
    connect(m_comprConfig, &QPushButton::clicked, this, &CapturePanel::ComprConfig_Click);
    return box;
}

QWidget *CapturePanel::buildTestCapture()
{
    auto *group = named(new QGroupBox(QStringLiteral("Test Capture")), "TestCaptureFrame");
    auto *grid = new QGridLayout(group);
    m_captureType = named(new QComboBox, "CaptureType");
    m_captureType->addItems({QStringLiteral("Frames"), QStringLiteral("Streams")});
    m_cmdCap = named(new QPushButton(QStringLiteral("Capture Frame")), "CmdCap");
    m_edtFile = named(new QLineEdit(QStringLiteral("testvid.avi")), "EdtFile");
    auto *browse = named(new QPushButton(QStringLiteral("...")), "CmdCapFN");
    grid->addWidget(m_captureType, 0, 0);
    grid->addWidget(m_cmdCap, 0, 1);
    grid->addWidget(m_edtFile, 1, 0);
    grid->addWidget(browse, 1, 1);
    auto addStatistic = [&](QLabel *&value, const char *name, const QString &caption, int row,
                            int column) {
        grid->addWidget(new QLabel(caption), row, column);
        value = named(new QLabel(QStringLiteral("0")), name);
        grid->addWidget(value, row, column + 1);
    };
    addStatistic(m_lblFrames, "LblFrames", QStringLiteral("Total Frames"), 2, 0);
    addStatistic(m_lblFrmDrop, "LblFrmDrop", QStringLiteral("Frames Dropped"), 3, 0);
    addStatistic(m_lblSamples, "LblSamples", QStringLiteral("Total Samples"), 2, 2);
    addStatistic(m_lblTime, "LblTime", QStringLiteral("Time (ms)"), 3, 2);
    connect(m_captureType, &QComboBox::currentIndexChanged, this, &CapturePanel::CaptureType_Click);
    connect(m_cmdCap, &QPushButton::clicked, this, &CapturePanel::CmdCap_Click);
    connect(browse, &QPushButton::clicked, this, &CapturePanel::CmdCapFN_Click);
    return group;
}

void CapturePanel::showFormatList(QComboBox *list, const QStringList &names, int deviceChoice,
                                  int stored)
{
    // The device's own choice is selected first (its handler stores it); then the stored one,
    // where it is still offered, which sets the device.
    showChoice(list, {names, deviceChoice});
    if (const int choice = storedChoice(stored, names.size(), -1); choice >= 0)
        list->setCurrentIndex(choice);
}

bool CapturePanel::applyChoice(int current, int wanted, CaptureFailure (CaptureDevice::*set)(int),
                               const QString &errorPrefix)
{
    return applyDeviceChoice(device(), m_context.prompter(), current, wanted, set, errorPrefix);
}

void CapturePanel::showError(const CaptureError &error, ErrorNumberBase base)
{
    informCaptureError(m_context.prompter(), error, base);
}

void CapturePanel::fillFromDevice()
{
    CaptureDevice &control = device();
    m_storedCompression = m_context.settings().readInt(QStringLiteral("compression"), -1);
    {
        const QSignalBlocker blocker(m_captureType);
        m_captureType->setCurrentIndex(-1);
    }
    m_captureType->setCurrentIndex(1);
    m_strmOptions->hide();
    m_frmOptions->hide();

    showPreviewState();
    showChoice(m_combo1,
               videoDeviceChoice(
                   deviceNames(control, control.VideoDeviceCount(), &CaptureDevice::VideoDeviceName),
                   m_context.settings().readInt(QStringLiteral("device"), -1),
                   m_context.simulatedCamera));
    m_audio->fillDeviceList();
    showChoice(m_compressionCombo,
               noneFirstChoice(deviceNames(control, control.VideoCompressorCount(),
                                           &CaptureDevice::VideoCompressorName),
                               control.VideoCompressor()));
    m_audio->fillCompressorList();

    QStringList effects;
    for (int i = 0; i < control.EffectCount(kVideoEffectGroup); ++i)
        effects << control.EffectName(kVideoEffectGroup, i);
    const ListChoice effectChoice = noneFirstChoice(effects, control.CurrentEffect(0));
    fillList(m_effect, effectChoice.items);
    // With no effect to choose, "None" is shown without asking the device for it.
    m_effect->setEnabled(!effects.isEmpty());
    if (effects.isEmpty()) {
        const QSignalBlocker blocker(m_effect);
        m_effect->setCurrentIndex(0);
    } else {
        m_effect->setCurrentIndex(effectChoice.selected);
    }

    m_edtFile->setText(control.StillFileName());
    m_stillOptions->showOptions(control.stillOptions());
    m_audio->InitAudioSettings();

    m_edtRate->setText(startupFrameRateText(m_context.settings(), control.FrameRate()));
    m_edtLimit->setText(QString::number(control.TimeLimit()));
}

void CapturePanel::connectAtStartup()
{
    CmdConnect_Click();
    m_compressionCombo->setCurrentIndex(
        compressorAtStartup(m_storedCompression, m_compressionCombo->count()));
}

void CapturePanel::showPreviewState()
{
    m_cmdPreview->setText(device().PreviewEnabled() ? QStringLiteral("Preview Off")
                                                    : QStringLiteral("Preview On"));
}

void CapturePanel::finishStartup()
{
    // Start-up switched the preview on after the lists were filled: the button says so, so
    // its first press switches it off rather than seeming to do nothing.
    showPreviewState();
    m_edtFile->setText(QStringLiteral("testvid.avi"));
    m_strmOptions->hide();
    m_frmOptions->hide();
    m_lblStatus->hide();
}

void CapturePanel::setConfigurationShown(bool shown)
{
    for (QWidget *part : std::as_const(m_configurationParts))
        part->setVisible(shown);
    if (shown) {
        // The options of the chosen capture type.
        const bool streams = m_captureType->currentIndex() == 1;
        m_strmOptions->setVisible(streams);
        m_frmOptions->setVisible(!streams);
    }
    setVisible(shown);
}

bool CapturePanel::configurationShown() const
{
    return isVisibleTo(parentWidget());
}

QString CapturePanel::frameRateText() const
{
    return m_edtRate->text();
}

void CapturePanel::CmdConnect_Click()
{
    CaptureDevice &control = device();
    if (control.VideoDeviceCount() < 1) {
        m_context.prompter().inform(
            QStringLiteral("No MCI capture devices are installed on this system"));
        return;
    }
    if (control.Connected()) {
        control.DisconnectDevice();
        OnDisconnect();
    } else {
        {
            BusyPointer busy;
            if (const CaptureFailure failure = control.ConnectDevice(m_combo1->currentIndex())) {
                showError(*failure, ErrorNumberBase::Hexadecimal);
                return;
            }
        }
        SettingsStore &settings = m_context.settings();
        settings.write(QStringLiteral("device"), m_combo1->currentIndex());
        m_cmdPreview->setEnabled(true);
        m_resolutionCombo->setEnabled(true);
        m_resolLabel->setEnabled(true);

        // The stored choices are read before the device's own are selected: selecting stores
        // the selection, and the stored choice must survive to be put back.
        const int storedResolution = settings.readInt(QStringLiteral("VideoResolution"), -1);
        const int storedColour = settings.readInt(QStringLiteral("ColorFormat"), -1);
        const int storedInput = settings.readInt(QStringLiteral("VideoInput"), -1);
        // The sizes offered are the chosen colour format's: its stored choice is put back
        // first, then the stored size, an index into that colour format's sizes.
        showFormatList(m_colorFormatCombo,
                       deviceNames(control, control.ColorFormatCount(),
                                   &CaptureDevice::ColorFormatName),
                       control.ColorFormat(), storedColour);
        showFormatList(m_resolutionCombo,
                       deviceNames(control, control.VideoResolutionCount(),
                                   &CaptureDevice::VideoResolutionName),
                       control.VideoResolution(), storedResolution);
        m_colorFormatCombo->setEnabled(true);
        m_colorLabel->setEnabled(true);

        const bool inputs = control.VideoInputCount() > 0;
        m_videoInput->setEnabled(inputs);
        m_inputLabel->setEnabled(inputs);
        if (inputs) {
            const QStringList names = deviceNames(control, control.VideoInputCount(),
                                                  &CaptureDevice::VideoInputName);
            showChoice(m_videoInput, {names, storedChoice(storedInput, names.size(), 0)});
        }
        const bool tuner = control.HasTuner();
        m_channel->setEnabled(tuner);
        m_channelLabel->setEnabled(tuner);
        if (tuner)
            showChoice(m_channel, channelChoice(control.MinChannel(), control.MaxChannel(),
                                                control.TunerChannel()));
        m_edtRate->setText(QString::number(wholeFrameRate(control.FrameRate())));
        m_edtLimit->setText(QString::number(control.TimeLimit()));
        m_cmdCap->setEnabled(true);
        m_videoConfig->setEnabled(control.HasDialog(capture_dialog::kVideoSource));
        m_cmdConnect->setText(QStringLiteral("Disconnect"));
        m_audio->InitAudioSettings();
        if (m_cmdPreview->text() == QLatin1String("Preview Off")) {
            if (const CaptureFailure failure = control.setPreviewEnabled(true))
                showError(*failure, ErrorNumberBase::Hexadecimal);
            m_context.handOver.startFocusPending = true;
            m_context.navigator().show(ScreenId::Capture);
        }
    }
    if (m_captureType->currentIndex() == 1) {
        m_audio->EnableAudioConfig();
        EnableVideoCompressionConfig();
    }
}

void CapturePanel::OnDisconnect()
{
    m_cmdConnect->setText(QStringLiteral("Connect"));
    // The status line no longer names a device the program is connected to (a warning that
    // explains the disconnection stays).
    if (m_lblStatus->text().startsWith(QStringLiteral("Connected to ")))
        m_lblStatus->setText(QStringLiteral("Not connected"));
    for (QWidget *w :
         {static_cast<QWidget *>(m_cmdCap), static_cast<QWidget *>(m_cmdPreview),
          static_cast<QWidget *>(m_videoConfig), static_cast<QWidget *>(m_resolutionCombo),
          static_cast<QWidget *>(m_resolLabel), static_cast<QWidget *>(m_colorFormatCombo),
          static_cast<QWidget *>(m_colorLabel), static_cast<QWidget *>(m_channel),
          static_cast<QWidget *>(m_channelLabel), static_cast<QWidget *>(m_videoInput),
          static_cast<QWidget *>(m_inputLabel)})
        w->setEnabled(false);
    for (QComboBox *list : {m_resolutionCombo, m_colorFormatCombo, m_channel, m_videoInput})
        fillList(list, {});
    m_context.handOver.startFocusPending = false;
    m_context.navigator().hide(ScreenId::Capture);
}

void CapturePanel::CmdPreview_Click()
{
    CaptureDevice &control = device();
    if (control.PreviewEnabled()) {
        if (const CaptureFailure failure = control.setPreviewEnabled(false)) {
            showError(*failure);
            return;
        }
        m_cmdPreview->setText(QStringLiteral("Preview On"));
        m_context.handOver.startFocusPending = false;
        m_context.navigator().hide(ScreenId::Capture);
        return;
    }
    if (const CaptureFailure failure = control.setPreviewEnabled(true)) {
        showError(*failure);
        return;
    }
    m_cmdPreview->setText(QStringLiteral("Preview Off"));
    m_context.handOver.startFocusPending = true;
    m_context.navigator().show(ScreenId::Capture);
}

void CapturePanel::CaptureType_Click(int index)
{
    if (index < 0)
        return;
    CaptureDevice &control = device();
    if (index == 0) {
        m_cmdCap->setText(QStringLiteral("Capture Frame"));
        m_edtFile->setText(control.StillFileName());
        m_frmOptions->show();
        m_strmOptions->hide();
        return;
    }
    m_cmdCap->setText(QStringLiteral("Capture Stream"));
    m_edtFile->setText(control.CaptureFileName());
    m_frmOptions->hide();
    m_strmOptions->show();
    m_audio->EnableAudioConfig();
    EnableVideoCompressionConfig();
}

void CapturePanel::SetCaptureValues()
{
    CaptureDevice &control = device();
    if (m_captureType->currentIndex() == 0) {
        control.setStillOptions(m_stillOptions->readOptions(control.stillOptions()));
        control.setStillFileName(inVideoFolder(m_context.videoDirectory, m_edtFile->text()));
        return;
    }
    control.setCaptureFileName(m_edtFile->text());
    control.setFrameRate(roundedEntry(m_edtRate->text()));
    control.setTimeLimit(roundedEntry(m_edtLimit->text()));
    if (const CaptureFailure failure = m_audio->applyFormat())
        m_lblStatus->setText(failure->description);
}

void CapturePanel::EnableVideoCompressionConfig()
{
    const CaptureDevice &control = device();
    m_comprConfig->setEnabled(m_compressionCombo->currentIndex() > 0 && control.Connected() &&
                              control.HasDialog(capture_dialog::kVideoCompression));
}

void CapturePanel::CompressionCombo_Click(int index)
{
    if (index < 0 ||
        !applyChoice(device().VideoCompressor(), index - 1, &CaptureDevice::setVideoCompressor))
        return;
    EnableVideoCompressionConfig();
    m_context.settings().write(QStringLiteral("compression"), index);
}

void CapturePanel::ResolutionCombo_Click(int index)
{
    if (index >= 0 && applyChoice(device().VideoResolution(), index, &CaptureDevice::setVideoResolution))
        m_context.settings().write(QStringLiteral("videoresolution"), index);
}

void CapturePanel::ColorFormatCombo_Click(int index)
{
    if (index < 0 || !applyChoice(device().ColorFormat(), index, &CaptureDevice::setColorFormat))
        return;
    m_context.settings().write(QStringLiteral("ColorFormat"), index);
    // Another colour format offers other sizes: the list shows its sizes, the size the device
    // kept (or took instead) chosen, and the stored size is its index among them.
    const CaptureDevice &control = device();
    {
        const QSignalBlocker blocker(m_resolutionCombo);
        m_resolutionCombo->clear();
        m_resolutionCombo->addItems(deviceNames(control, control.VideoResolutionCount(),
                                                &CaptureDevice::VideoResolutionName));
        m_resolutionCombo->setCurrentIndex(control.VideoResolution());
    }
    m_context.settings().write(QStringLiteral("videoresolution"), control.VideoResolution());
}

void CapturePanel::VideoInput_Click(int index)
{
    if (index >= 0 && applyChoice(device().VideoInputIndex(), index, &CaptureDevice::setVideoInputIndex))
        m_context.settings().write(QStringLiteral("VideoInput"), index);
}

void CapturePanel::Channel_Click(int index)
{
    if (index < 0)
        return;
    applyChoice(device().TunerChannel(), index + device().MinChannel(),
                &CaptureDevice::setTunerChannel, QStringLiteral("Error code: "));
}

void CapturePanel::Effect_Click(int index)
{
    if (index < 0)
        return;
    CaptureDevice &control = device();
    int id = -1;
    if (index > 0) {
        const QString name = m_effect->itemText(index);
        id = control.FindEffect(kVideoEffectGroup, name);
        if (id < 0) {
            m_context.prompter().inform(QStringLiteral("Cannot find ") + name +
                                        QStringLiteral(" effect"));
            m_effect->setCurrentIndex(0);
            return;
        }
    }
    if (const CaptureFailure failure = control.SetEffect(kVideoEffectGroup, id, 0))
        showError(*failure);
}

void CapturePanel::VideoConfig_Click()
{
    CaptureDevice &control = device();
    const int code = capture_dialog::kVideoSource +
                     (m_effect->currentIndex() > 0 ? capture_dialog::kEffectFlag : 0);
    if (!control.HasDialog(capture_dialog::kVideoSource))
        return;
    DeviceSettingsDialog::edit(control, code, QStringLiteral("Video Source"), this);
    rereadAfterVideoDialog();
}

void CapturePanel::rereadAfterVideoDialog()
{
    // The dialog may have changed the format; the lists show what the device now has, without
    // setting it again.
    const CaptureDevice &control = device();
    auto show = [](QComboBox *list, int index) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index);
    };
    show(m_colorFormatCombo, control.ColorFormat());
    show(m_resolutionCombo, control.VideoResolution());
    if (control.HasTuner())
        show(m_channel, control.TunerChannel() - 1);
    if (control.VideoInputCount() > 0)
        show(m_videoInput, control.VideoInputIndex());
}

void CapturePanel::ComprConfig_Click()
{
    DeviceSettingsDialog::edit(device(), capture_dialog::kVideoCompression,
                               QStringLiteral("Video Compression"), this);
}

void CapturePanel::CmdCap_Click()
{
    CaptureDevice &control = device();
    BusyPointer busy;
    CaptureFailure failure;
    if (m_captureType->currentIndex() == 0) {
        SetCaptureValues();
        failure = control.GrabStill();
    } else if (m_cmdCap->text() == QLatin1String("Capture Stream")) {
        SetCaptureValues();
        // The status line names the file ("Capturing to ...").
        control.setCaptureFileName(
            freeTestCaptureFile(m_context.videoDirectory, m_edtFile->text()));
        failure = control.StartCapture();
        if (!failure)
            m_cmdCap->setText(QStringLiteral("End Capture"));
    } else {
        control.StopCapture();
        showStatistics();
        m_cmdCap->setText(QStringLiteral("Capture Stream"));
    }
    if (failure)
        showError(*failure, ErrorNumberBase::Hexadecimal);
}

void CapturePanel::showStatistics()
{
    const CaptureDevice &control = device();
    m_lblFrames->setText(QString::number(control.FramesCaptured()));
    m_lblFrmDrop->setText(QString::number(control.FramesDropped()));
    m_lblSamples->setText(QString::number(control.SamplesCaptured()));
    m_lblTime->setText(QString::number(control.CaptureTimeMs()));
}

void CapturePanel::CmdCapFN_Click()
{
    const FileDialogRequest request = testCaptureFileRequest(
        m_edtFile->text(), m_context.videoDirectory, m_captureType->currentIndex() == 1);
    if (const std::optional<QString> path = m_context.prompter().chooseFile(request))
        m_edtFile->setText(*path);
}

void CapturePanel::EdtRate_Change(const QString &text)
{
    m_context.settings().write(QStringLiteral("framerate"), text);
    device().setFrameRate(roundedEntry(text));
    emit frameRateChanged(text);
}

void CapturePanel::statusCode(int code, const QString &text)
{
    if (code == capture_status::kStreamReady) {
        m_cmdCap->setText(QStringLiteral("Capture Stream"));
        return;
    }
    if (code == capture_status::kStatistics)
        showStatistics();
    m_lblStatus->setText(text);
}

void CapturePanel::deviceListChanged(const QString &category, int change, int index,
                                     const QString &name)
{
    if (category == kVideoSourcesCategory) {
        showChoice(m_combo1, DeviceListChanges(device(), m_context.prompter())
                                 .videoDevices(itemsOf(m_combo1), change, index, name));
    } else if (category == kAudioSourcesCategory) {
        m_audio->deviceListChanged(change, index, name);
    }
    if (m_cmdConnect->text() == QLatin1String("Disconnect") && change == 1 && !device().Connected())
        OnDisconnect();
}

} // namespace skelvin
