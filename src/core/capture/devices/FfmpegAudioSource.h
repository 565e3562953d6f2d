#pragma once

#include "core/capture/devices/AudioSource.h"
#include "core/capture/devices/FfmpegDeviceInput.h"
#include "core/capture/devices/SoundDevices.h"

#include <mutex>

namespace skelvin {

// A sound card or the sound server's default source through FFmpeg's "alsa" or "pulse"
// input. The device gives 16-bit samples; 8-bit sound is made from them here.
class FfmpegAudioSource : public AudioSource
{
public:
    explicit FfmpegAudioSource(SoundDevice device);
    ~FfmpegAudioSource() override;

    QString name() const override { return m_device.name; }
    Failure start(int sampleRate, int channels, int bitsPerSample) override;
    void stop() override;
    ReadStatus read(CapturedSound &sound, QString &error) override;
    void interrupt() override { m_input.interrupt(); }

    // Signed 16-bit little-endian samples as unsigned 8-bit ones (the high byte, offset by 128).
    static QByteArray toUnsigned8(const QByteArray &signed16);

private:
    SoundDevice m_device;
    int m_bitsPerSample = 16;
    std::mutex m_streamMutex;
    FfmpegDeviceInput m_input;
};

} // namespace skelvin
