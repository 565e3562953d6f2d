#include "core/frames/FrameSource.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>

namespace skelvin {

namespace {

constexpr int kMinimumWindowFrames = 3;
// How long decoding ahead waits for the interface thread to take a picture it asked for.
constexpr int kHandOverWaitMs = 40;

} // namespace

FrameSource::FrameSource(QObject *parent, qint64 cacheBytes)
    : QObject(parent), m_cacheBytes(cacheBytes)
{
    connect(&m_playTimer, &QTimer::timeout, this, &FrameSource::playTick);
}

FrameSource::~FrameSource()
{
    stopWorker();
}

bool FrameSource::open(const QString &path, VideoDecoder::OpenFailure *failure)
{
    close();
    std::unique_ptr<VideoDecoder> decoder = VideoDecoder::open(path, failure);
    if (!decoder)
        return false;
    m_path = path;
    m_frameCount = decoder->frameCount();
    m_frameRate = decoder->frameRate();
    m_frameSize = decoder->frameSize();
    const qint64 frameBytes =
        qint64((m_frameSize.width() * 3 + 3) / 4 * 4) * std::max(1, m_frameSize.height());
    const qint64 windowFrames = std::max<qint64>(kMinimumWindowFrames, m_cacheBytes / frameBytes);
    m_halfWindow = int(std::min<qint64>((windowFrames - 1) / 2, m_frameCount));
    m_position = 0;
    {
        std::lock_guard lock(m_mutex);
        m_decoder = std::move(decoder);
        m_target = 0;
        m_direction = 1;
    }
    startWorker();
    return true;
}

void FrameSource::close()
{
    stop();
    stopWorker();
    std::lock_guard lock(m_mutex);
    m_decoder.reset();
    m_cache.clear();
    m_failed.clear();
    m_released.clear();
    m_path.clear();
    m_frameCount = 0;
    m_frameRate = 0;
    m_frameSize = QSize();
    m_position = 0;
}

void FrameSource::stepForward()
{
    if (isOpen() && m_position + 1 < m_frameCount)
        moveTo(m_position + 1, 1);
}

void FrameSource::stepBack()
{
    if (isOpen() && m_position >= 1)
        moveTo(m_position - 1, -1);
}

void FrameSource::seek(int frame)
{
    if (!isOpen())
        return;
    frame = std::clamp(frame, 0, m_frameCount - 1);
    moveTo(frame, frame >= m_position ? 1 : -1);
}

void FrameSource::play(int fromFrame, int toFrame)
{
    if (!isOpen())
        return;
    stop();
    m_playEnd = std::clamp(std::max(fromFrame, toFrame), 0, m_frameCount - 1);
    // A playback runs forward: decoding ahead goes that way even when the span starts before
    // the position (a lead-up to the frame on show).
    moveTo(std::clamp(std::min(fromFrame, toFrame), 0, m_frameCount - 1), 1);
    const double rate = m_frameRate > 0 ? m_frameRate : 30.0;
    m_playTimer.start(std::max(1, int(std::lround(1000.0 / rate))));
}

void FrameSource::stop()
{
    m_playTimer.stop();
}

void FrameSource::playTick()
{
    if (m_position >= m_playEnd) {
        m_playTimer.stop();
        emit playFinished();
        return;
    }
    // Wait for a frame that is late rather than skip it: the operator is looking for one.
    if (!cachedFrame(m_position + 1).isNull())
        moveTo(m_position + 1, 1);
}

QImage FrameSource::currentFrame() const
{
    return cachedFrame(m_position);
}

QImage FrameSource::cachedFrame(int frame) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_cache.find(frame);
    return it == m_cache.end() ? QImage() : it->second;
}

int FrameSource::cachedFrameCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_cache.size());
}

void FrameSource::moveTo(int frame, int direction)
{
    m_position = frame;
    QImage image;
    QString failure;
    {
        std::lock_guard lock(m_mutex);
        m_target = frame;
        m_direction = direction;
        evictLocked();
        if (const auto it = m_cache.find(frame); it != m_cache.end())
            image = it->second;
        else if (const auto failed = m_failed.find(frame); failed != m_failed.end())
            failure = failed->second;
    }
    emit positionChanged(frame);
    if (!image.isNull())
        emit frameReady(frame, image);
    else if (!failure.isEmpty())
        emit frameFailed(frame, failure);
    // Woken only now, so that the decoding ahead does not compete with showing this frame.
    m_wake.notify_one();
}

void FrameSource::startWorker()
{
    m_quit = false;
    m_worker = std::thread([this] { workerLoop(); });
}

void FrameSource::stopWorker()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

bool FrameSource::inWindowLocked(int frame) const
{
    return std::abs(frame - m_target) <= m_halfWindow;
}

void FrameSource::evictLocked()
{
    // Pictures leaving the window go to the worker, which reuses two of them for the next
    // frames and frees the rest once it has delivered the frame now wanted: unmapping
    // megabytes must delay neither the interface thread nor that frame.
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        if (inWindowLocked(it->first)) {
            ++it;
        } else {
            m_released.push_back(std::move(it->second));
            it = m_cache.erase(it);
        }
    }
    std::erase_if(m_failed, [this](const auto &entry) { return !inWindowLocked(entry.first); });
}

int FrameSource::nextJobLocked() const
{
    const auto missing = [this](int frame) {
        return frame >= 0 && frame < m_frameCount && !m_cache.count(frame) &&
               !m_failed.count(frame);
    };
    if (missing(m_target))
        return m_target;
    if (m_direction > 0) {
        for (int frame = m_target + 1; frame <= m_target + m_halfWindow; ++frame) {
            if (missing(frame))
                return frame;
        }
        return -1;
    }
    // Moving back: decode the earliest missing frame of the nearest missing frame's group of
    // pictures first, so the decoder then runs forward through the rest of them without a seek.
    for (int nearest = m_target - 1; nearest >= m_target - m_halfWindow; --nearest) {
        if (!missing(nearest))
            continue;
        const int from = std::max(m_decoder->keyFrameAtOrBefore(nearest), m_target - m_halfWindow);
        for (int frame = from; frame <= nearest; ++frame) {
            if (missing(frame))
                return frame;
        }
    }
    return -1;
}

void FrameSource::workerLoop()
{
    FrameSink sink;
    sink.wants = [this](int frame) {
        std::lock_guard lock(m_mutex);
        return inWindowLocked(frame) && !m_cache.count(frame);
    };
    sink.take = [this](int frame, const QImage &image) {
        std::lock_guard lock(m_mutex);
        if (!inWindowLocked(frame))
            return;
        m_cache.emplace(frame, image);
        if (frame == m_target)
            deliver(frame);
    };

    std::vector<QImage> released;
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        const int job = nextJobLocked();
        if (job < 0) {
            lock.unlock();
            released.clear();
            lock.lock();
            if (m_released.empty() && nextJobLocked() < 0 && !m_quit)
                m_wake.wait(lock);
            std::move(m_released.begin(), m_released.end(), std::back_inserter(released));
            m_released.clear();
            continue;
        }
        std::move(m_released.begin(), m_released.end(), std::back_inserter(released));
        m_released.clear();
        lock.unlock();
        while (!released.empty() && m_decoder->spareImageCount() < VideoDecoder::kSpareImages) {
            m_decoder->recycle(std::move(released.back()));
            released.pop_back();
        }
        sink.cancelled = [this, job] {
            std::lock_guard guard(m_mutex);
            return m_quit || !inWindowLocked(job);
        };
        const Result<QImage> picture = m_decoder->decodeFrame(job, &sink);
        lock.lock();
        if (m_quit || !inWindowLocked(job))
            continue; // the position moved on while this frame was decoded
        if (picture) {
            m_cache.emplace(job, picture.value());
            if (job == m_target) {
                deliver(job);
                // Decoding ahead waits until the interface thread has taken the picture (or
                // the time one frame takes is up): on two cores it would otherwise compete
                // with the thread that is to show it.
                m_handedOver = -1;
                m_wake.wait_for(lock, std::chrono::milliseconds(kHandOverWaitMs),
                                [&] { return m_quit || m_handedOver == job || m_target != job; });
            }
        } else {
            m_failed.emplace(job, picture.error());
            if (job == m_target)
                deliverFailure(job, picture.error());
        }
        if (job == m_target && !released.empty()) {
            lock.unlock();
            released.clear();
            lock.lock();
        }
    }
}

void FrameSource::deliver(int frame)
{
    QMetaObject::invokeMethod(
        this,
        [this, frame] {
            QImage image;
            {
                std::lock_guard lock(m_mutex);
                m_handedOver = frame;
                if (const auto it = m_cache.find(frame); it != m_cache.end())
                    image = it->second;
            }
            m_wake.notify_one();
            if (frame == m_position && !image.isNull())
                emit frameReady(frame, image);
        },
        Qt::QueuedConnection);
}

void FrameSource::deliverFailure(int frame, const QString &reason)
{
    QMetaObject::invokeMethod(
        this,
        [this, frame, reason] {
            if (frame == m_position)
                emit frameFailed(frame, reason);
        },
        Qt::QueuedConnection);
}

} // namespace skelvin
