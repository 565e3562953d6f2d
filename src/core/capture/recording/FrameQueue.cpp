#include "core/capture/recording/FrameQueue.h"

namespace skelvin {

namespace {
// Sound arrives in blocks of about 50 ms; this is several seconds of it.
constexpr std::size_t kSoundCapacity = 256;
// What a frame costs besides its pixels or packet: the frame and packet records.
constexpr std::size_t kFrameOverhead = 1024;
} // namespace

FrameQueue::FrameQueue(std::size_t videoBytesLimit) : m_videoBytesLimit(videoBytesLimit) {}

std::size_t FrameQueue::bytesOf(const CapturedFrame &frame)
{
    std::size_t bytes = kFrameOverhead;
    if (frame.packet && frame.packet->buf)
        bytes += frame.packet->buf->size;
    else if (frame.packet)
        bytes += std::size_t(std::max(0, frame.packet->size));
    if (frame.picture) {
        for (const AVBufferRef *buffer : frame.picture->buf) {
            if (buffer)
                bytes += buffer->size;
        }
    }
    return bytes;
}

bool FrameQueue::tryPush(RecorderItem &item)
{
    const bool isSound = item.slot < 0;
    const std::size_t bytes = isSound ? 0 : bytesOf(item.frame);
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return false;
        if (isSound) {
            if (m_sounds >= kSoundCapacity)
                return false;
            ++m_sounds;
        } else {
            if (m_frames > 0 && m_bytes + bytes > m_videoBytesLimit)
                return false;
            ++m_frames;
            m_bytes += bytes;
            item.bytes = bytes;
            m_peakBytes = std::max(m_peakBytes, m_bytes);
            m_peakFrames = std::max(m_peakFrames, m_frames);
        }
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
    if (item.slot < 0) {
        --m_sounds;
    } else {
        --m_frames;
        m_bytes -= std::min(m_bytes, item.bytes);
    }
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

std::size_t FrameQueue::bytesQueued() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

std::size_t FrameQueue::peakBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_peakBytes;
}

std::size_t FrameQueue::peakFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_peakFrames;
}

} // namespace skelvin
