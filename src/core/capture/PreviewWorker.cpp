#include "core/capture/PreviewWorker.h"

#include "core/capture/recording/PictureConversion.h"
#include "core/common/WorkerThread.h"

namespace skelvin {

namespace {

// The live picture scales the fast way: a picture shown for a thirtieth of a second needs no
// finer filter, and it halves the work for a raw 1920 x 1080 picture.
constexpr int kPreviewScaling = SWS_FAST_BILINEAR;

} // namespace

PreviewWorker::PreviewWorker(std::function<void()> ready)
    : m_ready(std::move(ready)), m_thread([this] { run(); })
{
}

PreviewWorker::~PreviewWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void PreviewWorker::setPreview(bool on, QSize box)
{
    std::lock_guard lock(m_mutex);
    m_on = on;
    m_box = box;
    if (!on) {
        m_mailbox = QImage();
        m_waiting = CapturedFrame();
        m_haveWaiting = false;
    }
}

bool PreviewWorker::on() const
{
    std::lock_guard lock(m_mutex);
    return m_on && !m_box.isEmpty();
}

void PreviewWorker::offer(const CapturedFrame &frame, int64_t arrivalUs)
{
    if (!frame.picture && !frame.packet)
        return;
    CapturedFrame newest = sharedFrame(frame);
    CapturedFrame older;
    {
        std::lock_guard lock(m_mutex);
        if (!m_on || m_box.isEmpty())
            return;
        if (m_haveWaiting)
            ++m_passedOver;
        // The frame it replaces is freed outside the lock.
        older = std::exchange(m_waiting, std::move(newest));
        m_haveWaiting = true;
        m_waitingArrivalUs = arrivalUs;
    }
    m_wake.notify_one();
}

QImage PreviewWorker::take()
{
    QImage taken;
    bool waiting = false;
    {
        std::lock_guard lock(m_mutex);
        taken = std::exchange(m_mailbox, QImage());
        waiting = m_haveWaiting;
    }
    // The newest frame that came meanwhile is made now.
    if (waiting)
        m_wake.notify_one();
    return taken;
}

int64_t PreviewWorker::picturesMade() const
{
    std::lock_guard lock(m_mutex);
    return m_made;
}

int64_t PreviewWorker::framesPassedOver() const
{
    std::lock_guard lock(m_mutex);
    return m_passedOver;
}

int PreviewWorker::lowresFor(QSize picture, QSize shown, int mostLowres)
{
    int lowres = 0;
    while (lowres < mostLowres && (picture.width() >> (lowres + 1)) >= shown.width() &&
           (picture.height() >> (lowres + 1)) >= shown.height())
        ++lowres;
    return lowres;
}

QImage PreviewWorker::make(const CapturedFrame &frame, QSize box)
{
    const AVFrame *picture = frame.picture.get();
    if (!picture && frame.packet) {
        // The picture's size is the camera's; a JPEG says it in its header, but the decoder
        // needs to know the lowres before it reads that: the last picture's size stands in.
        QSize cameraSize = m_lastCameraSize;
        const int mostLowres = PacketDecoder::mostLowres(frame.packetCodec);
        const int lowres = cameraSize.isEmpty()
                               ? 0
                               : lowresFor(cameraSize, fittedSize(cameraSize, box), mostLowres);
        Result<const AVFrame *> decoded =
            m_decoder.decode(*frame.packet, frame.packetCodec, lowres);
        if (!decoded)
            return {};
        picture = decoded.value();
        m_lastCameraSize = QSize(picture->width << lowres, picture->height << lowres);
        // The size shown is the camera picture's fitted into the box, whatever was decoded.
        const QSize shown = fittedSize(m_lastCameraSize, box);
        return pictureToImage(*picture, shown, m_scale, QImage::Format_RGB32, kPreviewScaling);
    }
    if (!picture)
        return {};
    const QSize shown = fittedSize(QSize(picture->width, picture->height), box);
    return pictureToImage(*picture, shown, m_scale, QImage::Format_RGB32, kPreviewScaling);
}

void PreviewWorker::run()
{
    becomeWorkerThread("preview", kPreviewNice);
    for (;;) {
        CapturedFrame frame;
        int64_t arrivalUs = 0;
        QSize box;
        {
            std::unique_lock lock(m_mutex);
            // A picture nobody has taken yet is not followed by another: the frame waits (the
            // newest replacing it) until the screen takes the picture, so a screen that is
            // busy (or a Stop that waits for the encoder) costs no work for pictures unseen.
            m_wake.wait(lock, [this] { return m_quit || (m_haveWaiting && m_mailbox.isNull()); });
            if (m_quit)
                return;
            frame = std::move(m_waiting);
            m_waiting = CapturedFrame();
            m_haveWaiting = false;
            arrivalUs = m_waitingArrivalUs;
            box = m_box;
        }
        QImage image = make(frame, box);
        if (image.isNull())
            continue;
        image.setText(kPreviewArrivalUsKey, QString::number(arrivalUs));
        image.setText(kPreviewCameraUsKey, QString::number(frame.timestampUs));
        frame = CapturedFrame(); // the camera's memory goes back before the picture is shown
        bool wasEmpty = false;
        {
            std::lock_guard lock(m_mutex);
            if (!m_on)
                continue;
            wasEmpty = m_mailbox.isNull();
            m_mailbox = std::move(image);
            ++m_made;
        }
        if (wasEmpty && m_ready)
            m_ready();
    }
}

} // namespace skelvin
