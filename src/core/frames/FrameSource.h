#pragma once

#include "core/frames/VideoDecoder.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace skelvin {

// The frames of one video for the frame player: a current position, steps forward and back,
// jumps to any frame and playing a span, with the decoding done on a worker thread so that the
// interface thread never waits for a decoder.
//
// The worker keeps a window of decoded pictures around the position: `halfWindow()` frames on
// each side. It fills the side the player is moving towards (decoding ahead while the operator
// looks at a frame) and keeps the frames just passed, so stepping back over them costs nothing.
// Pictures that a decoder walks over on its way to a frame (from the key frame on) are kept
// when they fall inside the window, so stepping back through an inter-frame video pays for
// each group of pictures once.
//
// Memory bound: the window holds at most cacheBytes of pictures (default 128 MiB; a 1920 x 1080
// picture is 6 MiB, so 21 frames; never fewer than 3 frames whatever the budget). On top of it
// come at most three pictures (two spares the decoder writes into, one being converted), the
// picture the screen shows, and the decoder's own reference pictures (FFmpeg's, a few frames).
// Pictures leaving the window are reused or freed by the worker right after it has delivered
// the frame now wanted, so a long jump does not hold two windows at once beyond that moment.
//
// A picture the worker decodes for the position reaches the interface thread through
// frameReady; decoding ahead waits until that thread has taken it (at most 40 ms), so on a
// two-core machine the two do not compete at the moment the picture is to be shown.
//
// All public methods are called on the thread the object lives on.
class FrameSource : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kDefaultCacheBytes = qint64(128) << 20;

    explicit FrameSource(QObject *parent = nullptr, qint64 cacheBytes = kDefaultCacheBytes);
    ~FrameSource() override;

    // Opens a video (closing the one before) at frame 0. On failure the source stays closed.
    bool open(const QString &path, VideoDecoder::OpenFailure *failure = nullptr);
    void close();
    bool isOpen() const { return m_frameCount > 0; }
    const QString &path() const { return m_path; }
    int frameCount() const { return m_frameCount; }
    double frameRate() const { return m_frameRate; }
    QSize frameSize() const { return m_frameSize; }
    int halfWindow() const { return m_halfWindow; }

    int position() const { return m_position; }
    // One frame on; nothing at the last frame.
    void stepForward();
    // One frame back; nothing at frame 0.
    void stepBack();
    // To any frame, kept within the video.
    void seek(int frame);

    // Plays from one frame to another (inclusive) at the video's frame rate; a frame that is not
    // decoded in time is waited for, never skipped. Ends with playFinished().
    void play(int fromFrame, int toFrame);
    void stop();
    bool isPlaying() const { return m_playTimer.isActive(); }

    // The picture at the position when it is decoded, else a null image (frameReady follows).
    QImage currentFrame() const;
    // Any decoded picture still held, else a null image.
    QImage cachedFrame(int frame) const;
    // How many pictures the window holds now.
    int cachedFrameCount() const;

signals:
    void positionChanged(int frame);
    // The picture at the position is ready to show: at once when it was held, else later.
    void frameReady(int frame, const QImage &image);
    // The picture at the position does not decode.
    void frameFailed(int frame, const QString &reason);
    void playFinished();

private:
    void moveTo(int frame, int direction);
    void playTick();
    void startWorker();
    void stopWorker();
    void workerLoop();
    int nextJobLocked() const;
    bool inWindowLocked(int frame) const;
    void evictLocked();
    void deliver(int frame);
    void deliverFailure(int frame, const QString &reason);

    QString m_path;
    int m_frameCount = 0;
    double m_frameRate = 0;
    QSize m_frameSize;
    qint64 m_cacheBytes;
    int m_halfWindow = 1;
    int m_position = 0;
    int m_playEnd = 0;
    QTimer m_playTimer;

    // Shared with the worker, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<VideoDecoder> m_decoder; // used by the worker only while it runs
    std::map<int, QImage> m_cache;
    std::map<int, QString> m_failed;
    std::vector<QImage> m_released; // left the window; the worker reuses or frees them
    int m_target = 0;
    int m_direction = 1;
    int m_handedOver = -1; // the last picture the interface thread took from the worker
    bool m_quit = false;
    std::thread m_worker;
};

} // namespace skelvin
