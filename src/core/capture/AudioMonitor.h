#pragma once

#include "core/capture/devices/CaptureFfmpegHandles.h"
#include "core/common/Result.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

namespace skelvin {

// Listen: the sound being recorded played through the default output, through FFmpeg's
// "pulse" output device where a sound server runs, else its "alsa" one. Playing never waits:
// a block the output has no room for is left out (listening is for the operator's ear; the
// recording has every sample).
class AudioMonitor
{
public:
    // `hasOutput` says whether the machine has anything to play through.
    explicit AudioMonitor(std::function<bool()> hasOutput = {});
    ~AudioMonitor();
    AudioMonitor(const AudioMonitor &) = delete;
    AudioMonitor &operator=(const AudioMonitor &) = delete;

    // "No sound output device" when there is nothing to play through.
    Failure start(int sampleRate, int channels, int bitsPerSample);
    void stop();
    bool playing() const;
    // Any thread; interleaved PCM in the format given to `start`.
    void play(const QByteArray &pcm);

private:
    int openOutput(const char *formatName, const char *url, int sampleRate, int channels,
                   int bitsPerSample);

    std::function<bool()> m_hasOutput;
    mutable std::mutex m_mutex;
    ffmpeg::FormatOutput m_output;
    int m_bytesPerFrame = 0;
    int64_t m_samplesPlayed = 0;
};

inline const QString kNoSoundOutputText = QStringLiteral("No sound output device");

} // namespace skelvin
