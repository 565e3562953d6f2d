#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/recordings/ContactSearch.h"

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace skelvin {

// The first contact searched in a recording while it is recorded: the recorder hands on every
// frame it takes (as a way to make its picture, the camera's memory shared, not copied), and a
// thread of its own makes the pictures and feeds a ContactFinder, so that when the recording
// closes only the last frames and the search itself are left. The thread runs at nice kNice,
// below the encoder and the live picture: on a busy machine it falls behind, never the
// recording.
//
// Frames are fed as the file holds them: a slot the recorder left empty (a frame the camera
// skipped or the queue left out) shows the frame before it, as the file's reader shows it.
// Should the frames waiting take more than kMostWaitingBytes (raw pictures on a machine too
// busy for the search), the search gives up and lets them go: the recording is then searched
// on disk.
class RecordingContactSearch
{
public:
    static constexpr int kNice = 5;
    static constexpr std::size_t kMostWaitingBytes = std::size_t(384) << 20;
    // Made on the search's own thread; a null picture is a frame that does not decode.
    using PictureMaker = std::function<QImage()>;

    explicit RecordingContactSearch(const Grid &grid);
    ~RecordingContactSearch();
    RecordingContactSearch(const RecordingContactSearch &) = delete;
    RecordingContactSearch &operator=(const RecordingContactSearch &) = delete;

    // Recorder's thread: the frame of slot `slot` (slots rise), its waiting memory `bytes`.
    void add(int64_t slot, PictureMaker picture, std::size_t bytes);
    // The recording closed with `frameCount` frames.
    void close(int frameCount);

    // Waits for the find, at most `limit` when one is given; `cancelled` is asked while
    // waiting. None when the search gave up, was cancelled or is not done within the limit:
    // the recording is then to be searched on disk. `searchMs` is the time from the
    // recording's close to the find.
    std::optional<ContactSearch> wait(const std::function<bool()> &cancelled = {},
                                      std::optional<std::chrono::milliseconds> limit = {});

private:
    struct Waiting
    {
        int64_t slot = 0;
        PictureMaker picture;
        std::size_t bytes = 0;
    };
    void run();

    Grid m_grid;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Waiting> m_waiting;
    std::size_t m_waitingBytes = 0;
    bool m_gaveUp = false;
    bool m_ending = false; // the object is going: the thread stops at once
    int m_closedFrames = -1;
    std::chrono::steady_clock::time_point m_closedAt;
    std::optional<ContactSearch> m_result;
    std::thread m_thread;
};

} // namespace skelvin
