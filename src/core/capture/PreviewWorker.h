#pragma once

#include "core/capture/recording/PacketDecoder.h"
#include "core/capture/shared/CapturedFrame.h"

#include <QImage>
#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace skelvin {

// What a preview picture carries besides its pixels (QImage::text keys, so the two never part):
// when its frame came from the camera (steady clock, microseconds) and the camera's own time
// stamp of it.
inline const QString kPreviewArrivalUsKey = QStringLiteral("arrivalUs");
inline const QString kPreviewCameraUsKey = QStringLiteral("cameraUs");

// The live picture's own thread, so the device thread only hands frames on: it takes the
// newest frame the camera delivered (its picture or Motion JPEG packet shared, not copied),
// decodes a Motion JPEG frame at a reduced size where the view is smaller (FFmpeg's lowres:
// a half, a quarter or an eighth), scales and converts it to the view's size as a 32-bit
// picture, and leaves it in a one-picture mailbox. A frame that comes while another waits
// replaces it, so only the newest is ever made and a slow screen never holds anything up;
// while the screen has not taken the last picture, no new one is made.
// The thread runs at nice kPreviewNice, below the capture thread and the encoder: on a busy
// machine the live picture slows before the recording's compressing does.
class PreviewWorker
{
public:
    static constexpr int kPreviewNice = 2;

    // `ready` is called from the worker's thread when a picture lands in an empty mailbox.
    explicit PreviewWorker(std::function<void()> ready);
    ~PreviewWorker();
    PreviewWorker(const PreviewWorker &) = delete;
    PreviewWorker &operator=(const PreviewWorker &) = delete;

    // Off empties the mailbox and drops the frame waiting; `box` is the largest size shown.
    void setPreview(bool on, QSize box);
    bool on() const;

    // Device thread: the newest frame, which came at `arrivalUs`.
    void offer(const CapturedFrame &frame, int64_t arrivalUs);

    // The newest picture; null when none is new.
    QImage take();

    // Frames made into pictures, and frames replaced before they were made.
    int64_t picturesMade() const;
    int64_t framesPassedOver() const;

    // The size a camera picture of `picture` is shown at in `box`, and the lowres that
    // decodes a Motion JPEG picture at no less than that size (0 to `mostLowres`).
    static int lowresFor(QSize picture, QSize shown, int mostLowres);

private:
    void run();
    QImage make(const CapturedFrame &frame, QSize box);

    std::function<void()> m_ready;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    bool m_on = false;
    QSize m_box;
    CapturedFrame m_waiting; // the newest frame not made yet
    bool m_haveWaiting = false;
    int64_t m_waitingArrivalUs = 0;
    QImage m_mailbox;
    int64_t m_made = 0;
    int64_t m_passedOver = 0;

    // Used by the worker's thread only.
    PacketDecoder m_decoder;
    ffmpeg::ScaleContext m_scale;
    QSize m_lastCameraSize; // of the last Motion JPEG picture, whole

    std::thread m_thread; // last: starts when everything above is ready
};

} // namespace skelvin
