#include "core/capture/AudioPump.h"

#include "core/capture/recording/AviRecorder.h"

namespace skelvin {

AudioPump::AudioPump(AudioSource &source, AviRecorder &recorder)
    : m_source(source), m_recorder(recorder)
{
}

AudioPump::~AudioPump()
{
    stop();
}

void AudioPump::start()
{
    if (m_running.exchange(true))
        return;
    m_source.recordingStarted();
    m_thread = std::thread([this] { run(); });
}

void AudioPump::stop()
{
    m_running = false;
    m_source.interrupt();
    if (m_thread.joinable())
        m_thread.join();
}

void AudioPump::setListener(Listener listener)
{
    std::lock_guard lock(m_listenerMutex);
    m_listener = std::move(listener);
}

void AudioPump::run()
{
    while (m_running) {
        CapturedSound sound;
        QString error;
        const ReadStatus status = m_source.read(sound, error);
        if (status == ReadStatus::Ended)
            break; // the recording goes on without sound
        if (status != ReadStatus::Delivered)
            continue;
        {
            std::lock_guard lock(m_listenerMutex);
            if (m_listener)
                m_listener(sound.pcm);
        }
        m_recorder.addSound(sound);
    }
}

} // namespace skelvin
