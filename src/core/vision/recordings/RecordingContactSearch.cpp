#include "core/vision/recordings/RecordingContactSearch.h"

#include "core/common/WorkerThread.h"
#include "core/vision/ContactFinder.h"

#include <algorithm>

namespace skelvin {

RecordingContactSearch::RecordingContactSearch(const Grid &grid)
    : m_grid(grid), m_thread([this] { run(); })
{
}

RecordingContactSearch::~RecordingContactSearch()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void RecordingContactSearch::add(int64_t slot, PictureMaker picture, std::size_t bytes)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_gaveUp || m_closedFrames >= 0)
            return;
        if (m_waitingBytes + bytes > kMostWaitingBytes) {
            // The camera's memory goes back now; the file will be searched instead.
            m_gaveUp = true;
            m_waiting.clear();
            m_waitingBytes = 0;
        } else {
            m_waiting.push_back({slot, std::move(picture), bytes});
            m_waitingBytes += bytes;
        }
    }
    m_wake.notify_all();
}

void RecordingContactSearch::close(int frameCount)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closedFrames < 0) {
            m_closedFrames = std::max(0, frameCount);
            m_closedAt = std::chrono::steady_clock::now();
        }
    }
    m_wake.notify_all();
}

std::optional<ContactSearch>
RecordingContactSearch::wait(const std::function<bool()> &cancelled,
                             std::optional<std::chrono::milliseconds> limit)
{
    const auto deadline =
        std::chrono::steady_clock::now() + limit.value_or(std::chrono::milliseconds(0));
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_gaveUp)
            return std::nullopt;
        if (m_result)
            return m_result;
        if (cancelled && cancelled())
            return std::nullopt;
        const auto now = std::chrono::steady_clock::now();
        if (limit && now >= deadline)
            return std::nullopt;
        // A cancel is seen within 20 ms.
        m_wake.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                  std::chrono::milliseconds(20),
                                  limit ? deadline - now : std::chrono::milliseconds(20)));
    }
}

void RecordingContactSearch::run()
{
    becomeWorkerThread("contact", kNice);
    ContactFinder finder(m_grid);
    QImage last; // the picture of the last slot fed
    int64_t fed = 0;
    for (;;) {
        Waiting next;
        int closedFrames = -1;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] {
                return m_ending || m_gaveUp || !m_waiting.empty() || m_closedFrames >= 0;
            });
            if (m_ending || m_gaveUp)
                return;
            if (m_waiting.empty()) {
                closedFrames = m_closedFrames;
            } else {
                next = std::move(m_waiting.front());
                m_waiting.pop_front();
                m_waitingBytes -= next.bytes;
            }
        }
        if (closedFrames >= 0) {
            // The last slots the file holds without a frame of their own show the one before.
            for (; fed < closedFrames && !last.isNull(); ++fed)
                finder.addFrame(last);
            ContactSearch search;
            search.find = finder.find();
            search.frames = finder.frameCount();
            search.whileRecording = true;
            {
                std::lock_guard lock(m_mutex);
                search.searchMs = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - m_closedAt)
                                      .count();
                m_result = search;
            }
            m_wake.notify_all();
            return;
        }
        QImage picture = next.picture();
        next.picture = nullptr; // the camera's memory goes back at once
        if (picture.isNull()) {
            if (last.isNull()) {
                // Without a first picture the frames cannot be counted as the file's reader
                // counts them.
                std::lock_guard lock(m_mutex);
                m_gaveUp = true;
                m_waiting.clear();
                m_waitingBytes = 0;
                m_wake.notify_all();
                return;
            }
            picture = last; // a frame that does not decode shows the one before, as on disk
        }
        for (; fed < next.slot && !last.isNull(); ++fed)
            finder.addFrame(last);
        finder.addFrame(picture);
        fed = next.slot + 1;
        last = std::move(picture);
    }
}

} // namespace skelvin
