#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace skelvin {

// The start, stop and interrupt of a simulated device that delivers on a steady clock: its
// reads wait for the moment their data is due, and a stop or an interrupt from another thread
// ends the wait at once.
class RealTimeGate
{
public:
    using Clock = std::chrono::steady_clock;

    // Guards the gate's flags and the device's own state.
    std::mutex &mutex() { return m_mutex; }

    // With the mutex held.
    void open()
    {
        m_running = true;
        m_interrupted = false;
    }
    bool running() const { return m_running; }

    void stop() { set(m_running, false); }
    void interrupt() { set(m_interrupted, true); }

    // With the mutex held through `lock`: waits until `due`. False when the device was stopped
    // or interrupted meanwhile (the interrupt is then used up).
    bool waitUntil(std::unique_lock<std::mutex> &lock, Clock::time_point due)
    {
        if (Clock::now() >= due)
            return true;
        m_wake.wait_until(lock, due, [this] { return m_interrupted || !m_running; });
        if (m_interrupted || !m_running) {
            m_interrupted = false;
            return false;
        }
        return true;
    }

private:
    void set(bool &flag, bool value)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            flag = value;
        }
        m_wake.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_interrupted = false;
};

} // namespace skelvin
