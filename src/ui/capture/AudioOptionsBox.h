#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace skelvin {

class CaptureDevice;
class Prompter;

// The sound part of the capture panel's stream options: the sound device with its settings
// dialog, the audio compressor, the audio format ("Attributes:") and Listen.
class AudioOptionsBox : public QWidget
{
    Q_OBJECT

public:
    AudioOptionsBox(CaptureDevice &device, Prompter &prompter, QWidget *parent = nullptr);

    // The device list and the compressor list from the control, its choices selected.
    void fillDeviceList();
    void fillCompressorList();
    // The format list shows the control's own format.
    void InitAudioSettings();
    // The format controls only with a sound device chosen and a camera connected.
    void EnableAudioConfig();
    // Sets the chosen format on the control before a recording.
    CaptureFailure applyFormat();
    // A sound device plugged in (change 0) or pulled out (change 1).
    void deviceListChanged(int change, int index, const QString &name);

private:
    void AudioDevice_Click(int index);
    void AudioCompr_Click(int index);
    void ComboAttrib_Click(int index);
    void AudioConfig_Click();

    CaptureDevice &m_device;
    Prompter &m_prompter;
    QComboBox *m_audioDevice = nullptr;
    QPushButton *m_audioConfig = nullptr;
    QComboBox *m_audioCompr = nullptr;
    QLabel *m_audioCompLabel = nullptr;
    QComboBox *m_comboAttrib = nullptr;
    QLabel *m_attribLabel = nullptr;
    QCheckBox *m_check1 = nullptr;
    bool m_initialisingAudio = false;
};

} // namespace skelvin
