#pragma once

#include "core/capture/shared/CapturedFrame.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

namespace skelvin {

// One entry between the capture threads and the encoder thread: a frame with the slot of the
// file it belongs in, or a block of sound.
struct RecorderItem
{
    CapturedFrame frame;
    int64_t slot = -1; // -1: the item is sound
    QByteArray pcm;
    std::size_t bytes = 0; // what the frame takes in the queue (set by the queue)
};

// The queue between the capture threads and the encoder thread, bounded by memory rather than
// by a number of frames: it holds frames as the camera delivered them (a Motion JPEG packet of
// a few hundred KiB, a raw picture of several MiB) up to `videoBytesLimit`, so that a whole
// jump recording fits when the encoder or the disk falls behind for a while. A frame that
// would take the queue past its bound is refused (the recorder then leaves it out and says
// so); the camera is never held up. A frame always finds room in an empty queue. Sound blocks
// are small and have their own bound.
class FrameQueue
{
public:
    explicit FrameQueue(std::size_t videoBytesLimit);

    // The memory a frame takes in the queue.
    static std::size_t bytesOf(const CapturedFrame &frame);

    // False when the queue has no room for the item or is closed; the item is left untouched
    // then.
    bool tryPush(RecorderItem &item);
    // Waits for the next item; false once the queue is closed and empty.
    bool pop(RecorderItem &item);
    // No more items are taken; pop drains what is there.
    void close();

    std::size_t videoBytesLimit() const { return m_videoBytesLimit; }
    std::size_t framesQueued() const;
    std::size_t bytesQueued() const;
    // The most the queue held at once, bytes and frames.
    std::size_t peakBytes() const;
    std::size_t peakFrames() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<RecorderItem> m_items;
    std::size_t m_videoBytesLimit;
    std::size_t m_frames = 0;
    std::size_t m_bytes = 0;
    std::size_t m_sounds = 0;
    std::size_t m_peakBytes = 0;
    std::size_t m_peakFrames = 0;
    bool m_closed = false;
};

} // namespace skelvin
