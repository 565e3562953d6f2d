#pragma once

#include "core/capture/devices/AudioSource.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace skelvin {

class AviRecorder;

// The sound thread of a recording: reads the audio source in a loop and hands each block to
// the recording and, while Listen is on, to the loudspeaker.
class AudioPump
{
public:
    using Listener = std::function<void(const QByteArray &pcm)>;

    AudioPump(AudioSource &source, AviRecorder &recorder);
    ~AudioPump();
    AudioPump(const AudioPump &) = delete;
    AudioPump &operator=(const AudioPump &) = delete;

    void start();
    // Ends the thread; when this returns the recorder is no longer used.
    void stop();
    void setListener(Listener listener);

private:
    void run();

    AudioSource &m_source;
    AviRecorder &m_recorder;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::mutex m_listenerMutex;
    Listener m_listener;
};

} // namespace skelvin
