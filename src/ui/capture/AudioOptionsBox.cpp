#include "ui/capture/AudioOptionsBox.h"

#include "core/capture/AudioAttributes.h"
#include "core/capture/CaptureDevice.h"
#include "core/capture/CaptureListChoices.h"
#include "core/capture/DeviceListChanges.h"
#include "ui/capture/ComboLists.h"
#include "ui/capture/DeviceSettingsDialog.h"
#include "ui/common/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace skelvin {

AudioOptionsBox::AudioOptionsBox(CaptureDevice &device, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_device(device), m_prompter(prompter)
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
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

    connect(m_audioDevice, &QComboBox::currentIndexChanged, this,
            &AudioOptionsBox::AudioDevice_Click);
    connect(m_audioConfig, &QPushButton::clicked, this, &AudioOptionsBox::AudioConfig_Click);
    connect(m_audioCompr, &QComboBox::currentIndexChanged, this,
            &AudioOptionsBox::AudioCompr_Click);
    connect(m_comboAttrib, &QComboBox::currentIndexChanged, this,
            &AudioOptionsBox::ComboAttrib_Click);
    connect(m_check1, &QCheckBox::clicked, this, [this](bool on) { m_device.setListen(on); });
}

void AudioOptionsBox::fillDeviceList()
{
    showChoice(m_audioDevice, noneFirstChoice(deviceNames(m_device, m_device.AudioDeviceCount(),
                                                          &CaptureDevice::AudioDeviceName),
                                              m_device.AudioDeviceIndex()));
}

void AudioOptionsBox::fillCompressorList()
{
    showChoice(m_audioCompr,
               noneFirstChoice(deviceNames(m_device, m_device.AudioCompressorCount(),
                                           &CaptureDevice::AudioCompressorName),
                               m_device.AudioCompressor()));
}

CaptureFailure AudioOptionsBox::applyFormat()
{
    const AudioFormatChoice format = audioFormatToSet(
        m_comboAttrib->currentIndex(), m_comboAttrib->currentText(), m_device.AudioSampleRate());
    return m_device.setAudioFormat(format.sampleRate, format.channels, format.bitsPerSample);
}

void AudioOptionsBox::ComboAttrib_Click(int index)
{
    if (index < 0 || m_initialisingAudio)
        return;
    const AudioFormatChoice format =
        audioFormatToSet(index, m_comboAttrib->itemText(index), m_device.AudioSampleRate());
    if (const CaptureFailure failure =
            m_device.setAudioFormat(format.sampleRate, format.channels, format.bitsPerSample)) {
        informCaptureError(m_prompter, *failure, ErrorNumberBase::Decimal);
        return;
    }
    InitAudioSettings();
}

void AudioOptionsBox::InitAudioSettings()
{
    // The list shows the control's own format: the first item is selected without setting the
    // control (which would otherwise read back 11.025 Khz, 8 bits, mono every time).
    m_initialisingAudio = true;
    m_comboAttrib->setCurrentIndex(0);
    const QString text = audioFormatText(m_device.AudioSampleRate(),
                                         m_device.AudioBitsPerSample(), m_device.AudioChannels());
    int match = audioItemOf(itemsOf(m_comboAttrib), text);
    if (match < 0) {
        m_comboAttrib->addItem(text);
        match = m_comboAttrib->count() - 1;
    }
    m_comboAttrib->setCurrentIndex(match);
    m_initialisingAudio = false;
}

void AudioOptionsBox::EnableAudioConfig()
{
    const bool on = m_audioDevice->currentIndex() > 0 && m_device.Connected();
    for (QWidget *w :
         {static_cast<QWidget *>(m_attribLabel), static_cast<QWidget *>(m_comboAttrib),
          static_cast<QWidget *>(m_audioCompLabel), static_cast<QWidget *>(m_audioCompr)})
        w->setEnabled(on);
    m_audioConfig->setEnabled(on && m_device.HasDialog(capture_dialog::kAudioFormat));
}

void AudioOptionsBox::AudioDevice_Click(int index)
{
    if (index < 0 || !applyDeviceChoice(m_device, m_prompter, m_device.AudioDeviceIndex(),
                                        index - 1, &CaptureDevice::setAudioDeviceIndex))
        return;
    EnableAudioConfig();
    if (m_device.Connected())
        InitAudioSettings();
}

void AudioOptionsBox::AudioCompr_Click(int index)
{
    if (index >= 0)
        applyDeviceChoice(m_device, m_prompter, m_device.AudioCompressor(), index - 1,
                          &CaptureDevice::setAudioCompressor);
}

void AudioOptionsBox::AudioConfig_Click()
{
    DeviceSettingsDialog::edit(m_device, capture_dialog::kAudioFormat,
                               QStringLiteral("Audio Format"), this);
    InitAudioSettings();
}

void AudioOptionsBox::deviceListChanged(int change, int index, const QString &name)
{
    const QSignalBlocker blocker(m_audioDevice);
    showChoice(m_audioDevice, DeviceListChanges(m_device, m_prompter)
                                  .audioDevices(itemsOf(m_audioDevice), change, index, name));
}

} // namespace skelvin
