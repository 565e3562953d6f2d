#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skelvin {

class AppContext;
class CaptureDevice;

// The capture configuration panel of the main screen: which camera, how it records (input,
// resolution, colour format, effect, compressor, sound, frame rate, time limit), the still-frame
// options, a test capture with its statistics and the capture control's status line. Every
// recording first pushes the panel into the control through SetCaptureValues.
class CapturePanel : public QWidget
{
    Q_OBJECT

public:
    explicit CapturePanel(AppContext &context, QWidget *parent = nullptr);

    // Start-up: the lists and boxes filled from the control, the capture type set to streams
    // and the stored frame rate put in; then Connect and the stored compressor.
    void fillFromDevice();
    void connectAtStartup();
    void finishStartup(); // "testvid.avi", option panels and status label hidden

    void SetCaptureValues();
    void InitAudioSettings();
    void EnableAudioConfig();
    void EnableVideoCompressionConfig();
    void OnDisconnect();
    void CmdConnect_Click();
    // The four statistics labels from the control.
    void showStatistics();

    // "Show Video Configuration" / "Hide Video Configuration".
    void setConfigurationShown(bool shown);
    bool configurationShown() const;

    QString frameRateText() const;

signals:
    // The frame-rate box changed (the main screen shows the rate class).
    void frameRateChanged(const QString &text);
    // The Time Limit box changed: whole seconds, 0 for none.
    void timeLimitChanged(int seconds);

private:
    // The preview button's caption from the device's preview state.
    void showPreviewState();
    void buildControls();
    QWidget *buildDeviceGroup();
    QWidget *buildStreamOptions();
    QWidget *buildFrameOptions();
    QWidget *buildTestCapture();

    void fillList(QComboBox *list, const QStringList &items);
    QStringList deviceNames(int count, QString (CaptureDevice::*name)(int) const) const;
    void showError(const QString &prefix, const CaptureError &error, bool hex);

    void CmdPreview_Click();
    void CaptureType_Click(int index);
    void CmdCap_Click();
    void CmdCapFN_Click();
    void EdtRate_Change(const QString &text);
    void AudioDevice_Click(int index);
    void AudioCompr_Click(int index);
    void CompressionCombo_Click(int index);
    void ResolutionCombo_Click(int index);
    void ColorFormatCombo_Click(int index);
    void VideoInput_Click(int index);
    void Channel_Click(int index);
    void Check1_Click(bool checked);
    void Effect_Click(int index);
    void ComboAttrib_Click(int index);
    void VideoConfig_Click();
    void ComprConfig_Click();
    void AudioConfig_Click();
    void rereadAfterVideoDialog();
    void deviceListChanged(const QString &category, int change, int index, const QString &name);
    void statusCode(int code, const QString &text);

    CaptureDevice &device();

    AppContext &m_context;
    QComboBox *m_combo1 = nullptr;
    QPushButton *m_cmdConnect = nullptr;
    QPushButton *m_cmdPreview = nullptr;
    QComboBox *m_captureType = nullptr;
    QPushButton *m_cmdCap = nullptr;
    QLineEdit *m_edtFile = nullptr;
    QComboBox *m_resolutionCombo = nullptr;
    QLabel *m_resolLabel = nullptr;
    QComboBox *m_colorFormatCombo = nullptr;
    QLabel *m_colorLabel = nullptr;
    QComboBox *m_videoInput = nullptr;
    QLabel *m_inputLabel = nullptr;
    QComboBox *m_channel = nullptr;
    QLabel *m_channelLabel = nullptr;
    QComboBox *m_effect = nullptr;
    QPushButton *m_videoConfig = nullptr;
    QComboBox *m_compressionCombo = nullptr;
    QPushButton *m_comprConfig = nullptr;
    QComboBox *m_audioDevice = nullptr;
    QPushButton *m_audioConfig = nullptr;
    QComboBox *m_audioCompr = nullptr;
    QLabel *m_audioCompLabel = nullptr;
    QComboBox *m_comboAttrib = nullptr;
    QLabel *m_attribLabel = nullptr;
    QLineEdit *m_edtRate = nullptr;
    QLineEdit *m_edtLimit = nullptr;
    QCheckBox *m_check1 = nullptr;
    QGroupBox *m_frmOptions = nullptr;
    QGroupBox *m_strmOptions = nullptr;
    QCheckBox *m_chkAutoInc = nullptr;
    QCheckBox *m_chkAutoSave = nullptr;
    QCheckBox *m_chkProg = nullptr;
    QLineEdit *m_edtCaption = nullptr;
    QLineEdit *m_edtCapLeft = nullptr;
    QLineEdit *m_edtCapTop = nullptr;
    QLineEdit *m_edtInterval = nullptr;
    QLineEdit *m_edtChrom = nullptr;
    QLineEdit *m_edtLum = nullptr;
    QLineEdit *m_edtPass = nullptr;
    QLabel *m_lblFrames = nullptr;
    QLabel *m_lblFrmDrop = nullptr;
    QLabel *m_lblSamples = nullptr;
    QLabel *m_lblTime = nullptr;
    QLabel *m_lblStatus = nullptr;
    QList<QWidget *> m_configurationParts;
    bool m_initialisingAudio = false;
    // The compressor stored at the last run, read before the start-up's selections store theirs.
    int m_storedCompression = -1;
};

} // namespace skelvin
