#include "ui/capture/CapturePanel.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/app/Startup.h"
#include "core/capture/AudioAttributes.h"
#include "core/capture/CaptureDevice.h"
#include "core/capture/CaptureTiming.h"
#include "core/capture/VideoFileName.h"
#include "core/capture/devices/DeviceCatalog.h"
#include "core/common/NumberEntryValidator.h"
#include "core/common/NumberText.h"
#include "ui/capture/DeviceSettingsDialog.h"
#include "ui/common/Named.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
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

const QString kNoCaptureDevices = QStringLiteral("No Capture Devices");
const QString kNone = QStringLiteral("None");
const QString kShowCaption = QStringLiteral("Show Video Configuration");

// Check box values as the control takes them.
bool ItoB(int value)
{
    return value != 0;
}
int BtoI(bool value)
{
    return value ? 1 : 0;
}

// A whole number from a box (32-bit, as the control takes it).
int wholeNumber(const QLineEdit *box)
{
    return static_cast<int>(roundHalfEven(Val(box->text())));
}

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
    m_frmOptions->layout()->addWidget(buildFrameOptions());
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
            [this] { emit timeLimitChanged(wholeNumber(m_edtLimit)); });
    // A rate such as 29.97 is taken to the nearest whole frame; the time limit is whole seconds.
    m_edtRate->setValidator(new NumberEntryValidator(NumberEntry::Fraction, {}, m_edtRate));
    m_edtLimit->setValidator(new NumberEntryValidator(NumberEntry::Whole, {}, m_edtLimit));
    m_compressionCombo = named(new QComboBox, "CompressionCombo");
    m_comprConfig = named(new QPushButton(QStringLiteral("Configure...")), "ComprConfig");
    auto *compression = new QHBoxLayout;
    compression->addWidget(m_compressionCombo, 1);
    compression->addWidget(m_comprConfig);
    form->addRow(QStringLiteral("Compression:"), compression);
    m_audioDevice = named(new QComboBox, "AudioDevice");
    m_audioConfig = named(new QPushButton(QStringLiteral("Configure...")), "AudioConfig");
    auto *audio = new QHBoxLayout;
    audio->addWidget(m_audioDevice, 1);
    audio->addWidget(m_audioConfig);
    form->addRow(QStringLiteral("Audio Device:"), audio);
    m_audioCompr = named(new QComboBox, "AudioCompr");
    m_audioCompLabel = named(new QLabel(QStringLiteral("Compression:")), "AudioCompLabel");
    form->addRow(m_audioCompLabel, m_audioCompr);
    m_comboAttrib = named(new QComboBox, "ComboAttrib");
    m_comboAttrib->addItems(audioAttributeItems());
    m_attribLabel = named(new QLabel(QStringLiteral("Attributes:")), "AttribLabel");
    form->addRow(m_attribLabel, m_comboAttrib);
    m_check1 = named(new QCheckBox(QStringLiteral("Listen")), "Check1");
    form->addRow(m_check1);

    connect(m_edtRate, &QLineEdit::textChanged, this, &CapturePanel::EdtRate_Change);
    connect(m_compressionCombo, &QComboBox::currentIndexChanged, this,
            &CapturePanel::CompressionCombo_Click);
    connect(m_comprConfig, &QPushButton::clicked, this, &CapturePanel::ComprConfig_Click);
    connect(m_audioDevice, &QComboBox::currentIndexChanged, this, &CapturePanel::AudioDevice_Click);
    connect(m_audioConfig, &QPushButton::clicked, this, &CapturePanel::AudioConfig_Click);
    connect(m_audioCompr, &QComboBox::currentIndexChanged, this, &CapturePanel::AudioCompr_Click);
    connect(m_comboAttrib, &QComboBox::currentIndexChanged, this, &CapturePanel::ComboAttrib_Click);
    connect(m_check1, &QCheckBox::clicked, this, &CapturePanel::Check1_Click);
    return box;
}

QWidget *CapturePanel::buildFrameOptions()
{
    // Two columns of boxes under the switches, so the main screen with this panel still fits
    // a 768-pixel-high display.
    auto *box = new QWidget;
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_chkAutoInc = named(new QCheckBox(QStringLiteral("AutoIncrement")), "ChkAutoInc");
    m_chkAutoSave = named(new QCheckBox(QStringLiteral("AutoSave")), "ChkAutoSave");
    m_chkProg = named(new QCheckBox(QStringLiteral("Progressive JPG")), "ChkProg");
    grid->addWidget(m_chkAutoInc, 0, 0, 1, 2);
    grid->addWidget(m_chkAutoSave, 0, 2, 1, 2);
    grid->addWidget(m_chkProg, 1, 0, 1, 2);
    int slot = 0;
    auto addBox = [&](QLineEdit *&edit, const char *name, const QString &caption) {
        edit = named(new QLineEdit, name);
        edit->setMinimumWidth(60);
        const int row = 2 + slot / 2;
        const int column = (slot % 2) * 2;
        grid->addWidget(new QLabel(caption), row, column);
        grid->addWidget(edit, row, column + 1);
        ++slot;
    };
    addBox(m_edtCaption, "EdtCaption", QStringLiteral("Caption:"));
    addBox(m_edtPass, "EdtPass", QStringLiteral("Password:"));
    addBox(m_edtCapLeft, "EdtCapLeft", QStringLiteral("CaptionLeft:"));
    addBox(m_edtCapTop, "EdtCapTop", QStringLiteral("CaptionTop:"));
    addBox(m_edtInterval, "EdtInterval", QStringLiteral("Interval:"));
    addBox(m_edtChrom, "EdtChrom", QStringLiteral("ChromFactor:"));
    addBox(m_edtLum, "EdtLum", QStringLiteral("LumFactor:"));
    connect(m_chkAutoSave, &QCheckBox::clicked, this, [this] { SetCaptureValues(); });
    // A running AutoSave takes a new Interval when the operator leaves the box.
    connect(m_edtInterval, &QLineEdit::editingFinished, this, [this] {
        if (m_chkAutoSave->isChecked())
            SetCaptureValues();
    });
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

void CapturePanel::fillList(QComboBox *list, const QStringList &items)
{
    // Filling selects nothing, so the selection made afterwards runs the list's handler.
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

QStringList CapturePanel::deviceNames(int count, QString (CaptureDevice::*name)(int) const) const
{
    QStringList names;
    const CaptureDevice &control = m_context.captureDevice();
    for (int i = 0; i < count; ++i)
        names << (control.*name)(i);
    return names;
}

void CapturePanel::showError(const QString &prefix, const CaptureError &error, bool hex)
{
    const QString number = hex ? QString::number(static_cast<quint32>(error.code), 16).toUpper()
                               : QString::number(error.code);
    m_context.prompter().inform(prefix + number + QLatin1Char(' ') + error.description,
                                MessageIcon::None, QStringLiteral("Error"));
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
    const int devices = control.VideoDeviceCount();
    if (devices < 1) {
        fillList(m_combo1, {kNoCaptureDevices});
        m_combo1->setCurrentIndex(0);
    } else {
        fillList(m_combo1, deviceNames(devices, &CaptureDevice::VideoDeviceName));
        int stored = m_context.settings().readInt(QStringLiteral("device"), -1);
        if (m_context.simulatedCamera)
            stored = devices - 1; // the simulated camera is always the last device
        m_combo1->setCurrentIndex(stored < 0 || stored >= devices ? 0 : stored);
    }
    fillList(m_audioDevice, QStringList{kNone} + deviceNames(control.AudioDeviceCount(),
                                                             &CaptureDevice::AudioDeviceName));
    m_audioDevice->setCurrentIndex(control.AudioDeviceIndex() + 1);
    fillList(m_compressionCombo,
             QStringList{kNone} +
                 deviceNames(control.VideoCompressorCount(), &CaptureDevice::VideoCompressorName));
    m_compressionCombo->setCurrentIndex(control.VideoCompressor() + 1);
    fillList(m_audioCompr, QStringList{kNone} + deviceNames(control.AudioCompressorCount(),
                                                            &CaptureDevice::AudioCompressorName));
    m_audioCompr->setCurrentIndex(control.AudioCompressor() + 1);

    QStringList effects{kNone};
    for (int i = 0; i < control.EffectCount(kVideoEffectGroup); ++i)
        effects << control.EffectName(kVideoEffectGroup, i);
    fillList(m_effect, effects);
    m_effect->setEnabled(effects.size() > 1);
    if (effects.size() > 1)
        m_effect->setCurrentIndex(control.CurrentEffect(0) + 1);
    else {
        const QSignalBlocker blocker(m_effect);
        m_effect->setCurrentIndex(0);
    }

    const StillOptions still = control.stillOptions();
    m_edtFile->setText(control.StillFileName());
    m_chkAutoInc->setChecked(ItoB(BtoI(still.autoIncrement)));
    m_chkAutoSave->setChecked(still.autoSave);
    m_chkProg->setChecked(still.progressiveJpeg);
    m_edtCaption->setText(still.caption);
    m_edtCapLeft->setText(QString::number(still.captionLeft));
    m_edtCapTop->setText(QString::number(still.captionTop));
    m_edtInterval->setText(QString::number(still.intervalMs));
    m_edtChrom->setText(QString::number(still.chromFactor));
    m_edtLum->setText(QString::number(still.lumFactor));
    m_edtPass->setText(still.password);
    InitAudioSettings();

    m_edtRate->setText(startupFrameRateText(m_context.settings(), control.FrameRate()));
    m_edtLimit->setText(QString::number(control.TimeLimit()));
}

void CapturePanel::connectAtStartup()
{
    CmdConnect_Click();
    // Without a stored choice the first compressor (Motion JPEG) records: "None" would write
    // uncompressed frames, far more than a disk takes at a camera's rate.
    const int stored = m_storedCompression;
    const int first = m_compressionCombo->count() > 1 ? 1 : 0;
    m_compressionCombo->setCurrentIndex(
        stored < 0 || stored >= m_compressionCombo->count() ? first : stored);
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
                showError(QStringLiteral("Eror code: "), *failure, true);
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
        fillList(m_resolutionCombo,
                 deviceNames(control.VideoResolutionCount(), &CaptureDevice::VideoResolutionName));
        m_resolutionCombo->setCurrentIndex(control.VideoResolution());
        if (storedResolution >= 0 && storedResolution < m_resolutionCombo->count())
            m_resolutionCombo->setCurrentIndex(storedResolution);
        fillList(m_colorFormatCombo,
                 deviceNames(control.ColorFormatCount(), &CaptureDevice::ColorFormatName));
        m_colorFormatCombo->setCurrentIndex(control.ColorFormat());
        if (storedColour >= 0 && storedColour < m_colorFormatCombo->count())
            m_colorFormatCombo->setCurrentIndex(storedColour);
        m_colorFormatCombo->setEnabled(true);
        m_colorLabel->setEnabled(true);

        const bool inputs = control.VideoInputCount() > 0;
        m_videoInput->setEnabled(inputs);
        m_inputLabel->setEnabled(inputs);
        if (inputs) {
            fillList(m_videoInput,
                     deviceNames(control.VideoInputCount(), &CaptureDevice::VideoInputName));
            m_videoInput->setCurrentIndex(
                storedInput >= 0 && storedInput < m_videoInput->count() ? storedInput : 0);
        }
        const bool tuner = control.HasTuner();
        m_channel->setEnabled(tuner);
        m_channelLabel->setEnabled(tuner);
        if (tuner) {
            QStringList channels;
            for (int c = control.MinChannel(); c <= control.MaxChannel(); ++c)
                channels << QString::number(c);
            fillList(m_channel, channels);
            m_channel->setCurrentIndex(control.TunerChannel() - control.MinChannel());
        }
        m_edtRate->setText(QString::number(wholeFrameRate(control.FrameRate())));
        m_edtLimit->setText(QString::number(control.TimeLimit()));
        m_cmdCap->setEnabled(true);
        m_videoConfig->setEnabled(control.HasDialog(capture_dialog::kVideoSource));
        m_cmdConnect->setText(QStringLiteral("Disconnect"));
        InitAudioSettings();
        if (m_cmdPreview->text() == QLatin1String("Preview Off")) {
            if (const CaptureFailure failure = control.setPreviewEnabled(true))
                showError(QStringLiteral("Eror code: "), *failure, true);
            m_context.handOver.startFocusPending = true;
            m_context.navigator().show(ScreenId::Capture);
        }
    }
    if (m_captureType->currentIndex() == 1) {
        EnableAudioConfig();
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
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
        m_cmdPreview->setText(QStringLiteral("Preview On"));
        m_context.handOver.startFocusPending = false;
        m_context.navigator().hide(ScreenId::Capture);
        return;
    }
    if (const CaptureFailure failure = control.setPreviewEnabled(true)) {
        showError(QStringLiteral("Eror code: "), *failure, false);
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
    EnableAudioConfig();
    EnableVideoCompressionConfig();
}

void CapturePanel::SetCaptureValues()
{
    CaptureDevice &control = device();
    if (m_captureType->currentIndex() == 0) {
        StillOptions still = control.stillOptions();
        still.progressiveJpeg = ItoB(BtoI(m_chkProg->isChecked()));
        still.autoSave = ItoB(BtoI(m_chkAutoSave->isChecked()));
        still.autoIncrement = ItoB(BtoI(m_chkAutoInc->isChecked()));
        still.chromFactor = wholeNumber(m_edtChrom);
        still.lumFactor = wholeNumber(m_edtLum);
        still.intervalMs = wholeNumber(m_edtInterval);
        still.password = m_edtPass->text();
        still.captionLeft = wholeNumber(m_edtCapLeft);
        still.captionTop = wholeNumber(m_edtCapTop);
        still.caption = m_edtCaption->text();
        control.setStillOptions(still);
        control.setStillFileName(inVideoFolder(m_context.videoDirectory, m_edtFile->text()));
        return;
    }
    control.setCaptureFileName(m_edtFile->text());
    control.setFrameRate(wholeNumber(m_edtRate));
    control.setTimeLimit(wholeNumber(m_edtLimit));
    const QString attributes = m_comboAttrib->currentText();
    const AudioFormatChoice format = audioFormatOfItem(m_comboAttrib->currentIndex(), attributes);
    const int rate =
        attributes.indexOf(QLatin1Char(' ')) > 0 ? format.sampleRate : control.AudioSampleRate();
    if (const CaptureFailure failure =
            control.setAudioFormat(rate, format.channels, format.bitsPerSample))
        m_lblStatus->setText(failure->description);
}

void CapturePanel::ComboAttrib_Click(int index)
{
    if (index < 0 || m_initialisingAudio)
        return;
    const AudioFormatChoice format = audioFormatOfItem(index, m_comboAttrib->itemText(index));
    const int rate = format.sampleRate > 0 ? format.sampleRate : device().AudioSampleRate();
    if (const CaptureFailure failure =
            device().setAudioFormat(rate, format.channels, format.bitsPerSample)) {
        showError(QStringLiteral("Eror code: "), *failure, false);
        return;
    }
    InitAudioSettings();
}

void CapturePanel::InitAudioSettings()
{
    // The list shows the control's own format: the first item is selected without setting the
    // control (which would otherwise read back 11.025 Khz, 8 bits, mono every time).
    m_initialisingAudio = true;
    m_comboAttrib->setCurrentIndex(0);
    const CaptureDevice &control = device();
    const QString text = audioFormatText(control.AudioSampleRate(), control.AudioBitsPerSample(),
                                         control.AudioChannels());
    int match = -1;
    for (int i = 0; i < m_comboAttrib->count() && match < 0; ++i)
        if (m_comboAttrib->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            match = i;
    if (match < 0) {
        m_comboAttrib->addItem(text);
        match = m_comboAttrib->count() - 1;
    }
    m_comboAttrib->setCurrentIndex(match);
    m_initialisingAudio = false;
}

void CapturePanel::EnableAudioConfig()
{
    const CaptureDevice &control = device();
    const bool on = m_audioDevice->currentIndex() > 0 && control.Connected();
    for (QWidget *w :
         {static_cast<QWidget *>(m_attribLabel), static_cast<QWidget *>(m_comboAttrib),
          static_cast<QWidget *>(m_audioCompLabel), static_cast<QWidget *>(m_audioCompr)})
        w->setEnabled(on);
    m_audioConfig->setEnabled(on && control.HasDialog(capture_dialog::kAudioFormat));
}

void CapturePanel::EnableVideoCompressionConfig()
{
    const CaptureDevice &control = device();
    m_comprConfig->setEnabled(m_compressionCombo->currentIndex() > 0 && control.Connected() &&
                              control.HasDialog(capture_dialog::kVideoCompression));
}

void CapturePanel::AudioDevice_Click(int index)
{
    if (index < 0)
        return;
    CaptureDevice &control = device();
    if (control.AudioDeviceIndex() != index - 1) {
        if (const CaptureFailure failure = control.setAudioDeviceIndex(index - 1)) {
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
    }
    EnableAudioConfig();
    if (control.Connected())
        InitAudioSettings();
}

void CapturePanel::AudioCompr_Click(int index)
{
    if (index < 0 || device().AudioCompressor() == index - 1)
        return;
    if (const CaptureFailure failure = device().setAudioCompressor(index - 1))
        showError(QStringLiteral("Eror code: "), *failure, false);
}

void CapturePanel::CompressionCombo_Click(int index)
{
    if (index < 0)
        return;
    CaptureDevice &control = device();
    if (control.VideoCompressor() != index - 1) {
        if (const CaptureFailure failure = control.setVideoCompressor(index - 1)) {
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
    }
    EnableVideoCompressionConfig();
    m_context.settings().write(QStringLiteral("compression"), index);
}

void CapturePanel::ResolutionCombo_Click(int index)
{
    if (index < 0)
        return;
    if (device().VideoResolution() != index) {
        if (const CaptureFailure failure = device().setVideoResolution(index)) {
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
    }
    m_context.settings().write(QStringLiteral("videoresolution"), index);
}

void CapturePanel::ColorFormatCombo_Click(int index)
{
    if (index < 0)
        return;
    if (device().ColorFormat() != index) {
        if (const CaptureFailure failure = device().setColorFormat(index)) {
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
    }
    m_context.settings().write(QStringLiteral("ColorFormat"), index);
}

void CapturePanel::VideoInput_Click(int index)
{
    if (index < 0)
        return;
    if (device().VideoInputIndex() != index) {
        if (const CaptureFailure failure = device().setVideoInputIndex(index)) {
            showError(QStringLiteral("Eror code: "), *failure, false);
            return;
        }
    }
    m_context.settings().write(QStringLiteral("VideoInput"), index);
}

void CapturePanel::Channel_Click(int index)
{
    if (index < 0)
        return;
    const int channel = index + device().MinChannel();
    if (device().TunerChannel() == channel)
        return;
    if (const CaptureFailure failure = device().setTunerChannel(channel))
        showError(QStringLiteral("Error code: "), *failure, false);
}

void CapturePanel::Check1_Click(bool checked)
{
    device().setListen(checked);
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
        showError(QStringLiteral("Eror code: "), *failure, false);
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

void CapturePanel::AudioConfig_Click()
{
    DeviceSettingsDialog::edit(device(), capture_dialog::kAudioFormat,
                               QStringLiteral("Audio Format"), this);
    InitAudioSettings();
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
        showError(QStringLiteral("Eror code: "), *failure, true);
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
    const QFileInfo current(m_edtFile->text());
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = QStringLiteral("Capture File");
    request.startDirectory =
        current.isAbsolute() ? current.absolutePath() : m_context.videoDirectory;
    request.startFile = current.fileName();
    // Streams are recorded as AVI files: the dialog offers that type, so a recording is never
    // written under a picture's name.
    const bool streams = m_captureType->currentIndex() == 1;
    if (streams) {
        request.filters = parseFilterText(QStringLiteral("AVI Files|*.avi|"));
        request.defaultSuffix = QStringLiteral("avi");
    } else {
        request.filters = parseFilterText(
            QStringLiteral("All Supported Types|*.bmp;*.jpg;*.pic|BMP Files|*.bmp|JPEG "
                           "Files|*.jpg|Skelvin Pictures|*.pic|"));
        request.defaultSuffix = QStringLiteral("jpg");
    }
    if (const std::optional<QString> path = m_context.prompter().chooseFile(request))
        m_edtFile->setText(*path);
}

void CapturePanel::EdtRate_Change(const QString &text)
{
    m_context.settings().write(QStringLiteral("framerate"), text);
    device().setFrameRate(wholeFrameRate(Val(text)));
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
    CaptureDevice &control = device();
    if (category == kVideoSourcesCategory) {
        if (change == 0) {
            if (m_combo1->itemText(0) == kNoCaptureDevices && index == 0) {
                m_combo1->setItemText(0, name);
                m_combo1->setCurrentIndex(0);
                control.setVideoDeviceIndex(0);
                return;
            }
            m_combo1->insertItem(std::min(index, m_combo1->count()), name);
            // A camera plugged in while another is connected is only listed.
            if (!control.Connected() && control.VideoDeviceIndex() != index &&
                m_context.prompter().askYesNo(
                    name +
                    QStringLiteral(" is plugged into your computer. Do you want to use it?")))
                control.setVideoDeviceIndex(index);
        } else if (index >= 0 && index < m_combo1->count()) {
            m_combo1->removeItem(index);
        }
        if (control.VideoDeviceCount() > 0) {
            m_combo1->setCurrentIndex(control.VideoDeviceIndex());
        } else {
            m_combo1->clear();
            m_combo1->addItem(kNoCaptureDevices);
            m_combo1->setCurrentIndex(0);
        }
    } else if (category == kAudioSourcesCategory) {
        const QSignalBlocker blocker(m_audioDevice);
        if (change == 0) {
            m_audioDevice->insertItem(std::min(index + 1, m_audioDevice->count()), name);
            if (!control.Connected() && control.AudioDeviceIndex() != index &&
                m_context.prompter().askYesNo(
                    name +
                    QStringLiteral(" is plugged into your computer. Do you want to use it?")))
                control.setAudioDeviceIndex(index);
        } else if (index + 1 > 0 && index + 1 < m_audioDevice->count()) {
            m_audioDevice->removeItem(index + 1);
        }
        m_audioDevice->setCurrentIndex(
            control.AudioDeviceCount() > 0 ? control.AudioDeviceIndex() + 1 : 0);
    }
    if (m_cmdConnect->text() == QLatin1String("Disconnect") && change == 1 && !control.Connected())
        OnDisconnect();
}

} // namespace skelvin
