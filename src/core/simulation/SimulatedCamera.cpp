#include "core/simulation/SimulatedCamera.h"

#include "core/simulation/SceneRenderer.h"
#include "core/simulation/SimulatedDevices.h"

#include <QImage>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <algorithm>
#include <cmath>

namespace skelvin {

namespace {

const QSize kSizes[] = {{640, 480}, {1280, 720}, {1920, 1080}};
const std::vector<double> kRates = {60.0, 50.0, 30.0, 25.0};

struct PixelFormatOffer
{
    const char *name;
    const char *description;
    AVPixelFormat avFormat;
    QImage::Format imageFormat; // the same bytes in memory (little-endian machines)
};

const PixelFormatOffer kPixelFormats[] = {
    {"rgb24", "RGB 24-bit", AV_PIX_FMT_RGB24, QImage::Format_RGB888},
    {"bgr0", "BGRX 32-bit", AV_PIX_FMT_BGR0, QImage::Format_RGB32},
};

const PixelFormatOffer *pixelFormatOffer(const QString &name)
{
    for (const PixelFormatOffer &offer : kPixelFormats) {
        if (name == QLatin1String(offer.name))
            return &offer;
    }
    return nullptr;
}

} // namespace

SimulatedCamera::SimulatedCamera(SimulatedScene scene) : m_scene(std::move(scene)) {}

SimulatedCamera::~SimulatedCamera() = default;

QString SimulatedCamera::name() const
{
    return kSimulatedCameraName;
}

std::vector<VideoFormatOffer> SimulatedCamera::formats() const
{
    std::vector<VideoFormatOffer> offers;
    for (const PixelFormatOffer &format : kPixelFormats) {
        for (const QSize &size : kSizes) {
            offers.push_back({QString::fromLatin1(format.name),
                              QString::fromLatin1(format.description), size, kRates});
        }
    }
    return offers;
}

Failure SimulatedCamera::start(const VideoFormat &format)
{
    const PixelFormatOffer *offer = pixelFormatOffer(format.pixelFormat);
    const bool sizeOffered =
        std::find(std::begin(kSizes), std::end(kSizes), format.size) != std::end(kSizes);
    const bool rateOffered = std::any_of(kRates.begin(), kRates.end(), [&](double r) {
        return std::abs(r - format.framesPerSecond) < 0.01;
    });
    if (!offer || !sizeOffered || !rateOffered) {
        return QStringLiteral("The simulated camera does not offer %1 at %2 x %3, %4 fps")
            .arg(format.pixelFormat)
            .arg(format.size.width())
            .arg(format.size.height())
            .arg(format.framesPerSecond);
    }
    std::lock_guard<std::mutex> lock(m_gate.mutex());
    // The water of a new size is drawn by the first read, on the capture thread.
    if (m_renderer &&
        (m_renderer->size() != format.size || m_renderer->format() != offer->imageFormat))
        m_renderer.reset();
    m_imageFormat = offer->imageFormat;
    m_format = format;
    m_avPixelFormat = offer->avFormat;
    m_start = Clock::now();
    m_nextSlot = 0;
    m_numberBase = 0;
    m_jumpSlot = -1;
    m_nextPreviewJumpSlot = std::llround(format.framesPerSecond); // one second in
    m_recordingRequested = false;
    m_gate.open();
    return std::nullopt;
}

void SimulatedCamera::stop()
{
    m_gate.stop();
}

void SimulatedCamera::interrupt()
{
    m_gate.interrupt();
}

void SimulatedCamera::recordingStarted()
{
    m_recordingRequested = true;
}

SimulatedCamera::Clock::time_point SimulatedCamera::slotTime(int64_t slot) const
{
    const double seconds = static_cast<double>(slot) / m_format.framesPerSecond;
    return m_start + std::chrono::nanoseconds(std::llround(seconds * 1e9));
}

ReadStatus SimulatedCamera::read(CapturedFrame &frame, QString &error)
{
    std::unique_lock<std::mutex> lock(m_gate.mutex());
    if (!m_gate.running()) {
        error = QStringLiteral("The simulated camera is not started");
        return ReadStatus::Ended;
    }
    if (!m_renderer) {
        const QSize size = m_format.size;
        const QImage::Format format = m_imageFormat;
        lock.unlock();
        auto built = std::make_shared<SceneRenderer>(m_scene, size, format);
        lock.lock();
        if (!m_gate.running() || m_renderer || size != m_format.size || format != m_imageFormat)
            return ReadStatus::Again; // stopped or started again meanwhile
        m_renderer = std::move(built);
        // The clock starts with the first frame that can be drawn.
        m_start = Clock::now();
    }
    const double fps = m_format.framesPerSecond;
    int64_t slot = m_nextSlot;
    const Clock::time_point due = slotTime(slot);
    if (!m_gate.waitUntil(lock, due))
        return ReadStatus::Again;
    // More than a frame late: the slots in between are gone.
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
    slot = std::max(slot, static_cast<int64_t>(std::floor(elapsed * fps)) - 1);

    if (m_recordingRequested.exchange(false)) {
        m_numberBase = slot;
        m_jumpSlot = slot;
        m_nextPreviewJumpSlot = slot + std::llround(kQuietAfterRecordingSeconds * fps);
    } else if (slot >= m_nextPreviewJumpSlot) {
        m_jumpSlot = slot;
        m_nextPreviewJumpSlot = slot + std::llround(kPreviewJumpSeconds * fps);
    }
    m_nextSlot = slot + 1;
    const int frameNumber = static_cast<int>(slot - m_numberBase);
    const std::optional<double> sinceJump =
        m_jumpSlot >= 0 ? std::optional<double>((slot - m_jumpSlot) / fps) : std::nullopt;
    const Clock::time_point stamp = slotTime(slot);
    const std::shared_ptr<SceneRenderer> renderer = m_renderer;
    const QSize size = m_format.size;
    const int avPixelFormat = m_avPixelFormat;
    lock.unlock();

    ffmpeg::Frame picture(av_frame_alloc());
    if (!picture) {
        error = QStringLiteral("The simulated camera ran out of memory");
        return ReadStatus::Ended;
    }
    picture->width = size.width();
    picture->height = size.height();
    picture->format = avPixelFormat;
    if (av_frame_get_buffer(picture.get(), 32) < 0) {
        error = QStringLiteral("The simulated camera ran out of memory");
        return ReadStatus::Ended;
    }
    // Draw straight into the frame's own memory.
    QImage target(picture->data[0], picture->width, picture->height, picture->linesize[0],
                  renderer->format());
    renderer->renderInto(target, slot / fps, sinceJump, frameNumber);

    frame.picture = std::move(picture);
    frame.packet.reset();
    frame.packetCodec.clear();
    frame.timestampUs =
        std::chrono::duration_cast<std::chrono::microseconds>(stamp.time_since_epoch()).count();
    frame.picture->pts = frame.timestampUs;
    return ReadStatus::Delivered;
}

} // namespace skelvin
