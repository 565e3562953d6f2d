#pragma once

#include "core/capture/CaptureErrorText.h"
#include "core/capture/CaptureListChoices.h"
#include "core/capture/shared/CaptureTypes.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skelvin {

class AppContext;
class CaptureDevice;
class AudioOptionsBox;
class StillOptionsBox;

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
    QWidget *buildTestCapture();

    // A format list of the connected device, with the stored choice put back.
    static void showFormatList(QComboBox *list, const QStringList &names, int deviceChoice,
                               int stored);
    void showError(const CaptureError &error, ErrorNumberBase base = ErrorNumberBase::Decimal);
    bool applyChoice(int current, int wanted, CaptureFailure (CaptureDevice::*set)(int),
                     const QString &errorPrefix = kErrorCodePrefix);

    void CmdPreview_Click();
    void CaptureType_Click(int index);
    void CmdCap_Click();
    void CmdCapFN_Click();
    void EdtRate_Change(const QString &text);
    void CompressionCombo_Click(int index);
    void ResolutionCombo_Click(int index);
    void ColorFormatCombo_Click(int index);
    void VideoInput_Click(int index);
    void Channel_Click(int index);
    void Effect_Click(int index);
    void VideoConfig_Click();
    void ComprConfig_Click();
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
    AudioOptionsBox *m_audio = nullptr;
    QLineEdit *m_edtRate = nullptr;
    QLineEdit *m_edtLimit = nullptr;
    QGroupBox *m_frmOptions = nullptr;
    QGroupBox *m_strmOptions = nullptr;
    StillOptionsBox *m_stillOptions = nullptr;
    QLabel *m_lblFrames = nullptr;
    QLabel *m_lblFrmDrop = nullptr;
    QLabel *m_lblSamples = nullptr;
    QLabel *m_lblTime = nullptr;
    QLabel *m_lblStatus = nullptr;
    QList<QWidget *> m_configurationParts;
    // The compressor stored at the last run, read before the start-up's selections store theirs.
    int m_storedCompression = -1;
};

} // namespace skelvin
