#include "core/capture/recording/FrameQueue.h"

namespace skelvin {

namespace {
// Sound arrives in blocks of about 50 ms; this is several seconds of it.
constexpr std::size_t kSoundCapacity = 256;
} // namespace

FrameQueue::FrameQueue(std::size_t videoCapacity) : m_videoCapacity(videoCapacity) {}

bool FrameQueue::tryPush(RecorderItem &item)
{
    const bool isSound = item.slot < 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return false;
        if (isSound ? m_sounds >= kSoundCapacity : m_frames >= m_videoCapacity)
            return false;
        (isSound ? m_sounds : m_frames) += 1;
        m_items.push_back(std::move(item));
    }
    m_ready.notify_one();
    return true;
}

bool FrameQueue::pop(RecorderItem &item)
{
    std::unique_lock lock(m_mutex);
    m_ready.wait(lock, [this] { return m_closed || !m_items.empty(); });
    if (m_items.empty())
        return false;
    item = std::move(m_items.front());
    m_items.pop_front();
    (item.slot < 0 ? m_sounds : m_frames) -= 1;
    return true;
}

void FrameQueue::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_ready.notify_all();
}

std::size_t FrameQueue::framesQueued() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

} // namespace skelvin
