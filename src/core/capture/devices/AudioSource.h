#pragma once

#include "core/capture/shared/CapturedFrame.h"
#include "core/common/Result.h"

#include <QString>

namespace skelvin {

// A device that delivers sound: an ALSA or PulseAudio capture device, or the simulated
// microphone. Started with the format the panel sets; delivers interleaved PCM in it.
class AudioSource
{
public:
    virtual ~AudioSource() = default;

    virtual QString name() const = 0;
    virtual Failure start(int sampleRate, int channels, int bitsPerSample) = 0;
    virtual void stop() = 0;
    // Capture thread: waits at most about 50 ms for the next block.
    virtual ReadStatus read(CapturedSound &sound, QString &error) = 0;
    virtual void interrupt() {}
    // A recording starts now (the simulated microphone times its splash from here).
    virtual void recordingStarted() {}
};

} // namespace skelvin
