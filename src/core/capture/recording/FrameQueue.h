#pragma once

#include "core/capture/shared/CapturedFrame.h"

#include <condition_variable>
#include <cstddef>
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
};

// The bounded queue between the capture threads and the encoder thread. It holds at most
// `videoCapacity` frames (about one second of video); a frame that finds it full is refused,
// so the camera is never held up by a slow encoder or disk. Sound blocks are small and have
// their own, larger bound.
class FrameQueue
{
public:
    explicit FrameQueue(std::size_t videoCapacity);

    // False when the queue is full or closed; the item is left untouched then.
    bool tryPush(RecorderItem &item);
    // Waits for the next item; false once the queue is closed and empty.
    bool pop(RecorderItem &item);
    // No more items are taken; pop drains what is there.
    void close();

    std::size_t videoCapacity() const { return m_videoCapacity; }
    std::size_t framesQueued() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<RecorderItem> m_items;
    std::size_t m_videoCapacity;
    std::size_t m_frames = 0;
    std::size_t m_sounds = 0;
    bool m_closed = false;
};

} // namespace skelvin
