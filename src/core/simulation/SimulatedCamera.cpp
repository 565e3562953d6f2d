#include "core/simulation/SimulatedCamera.h"

#include "core/common/WorkerThread.h"
#include "core/simulation/CameraChip.h"
#include "core/simulation/SceneRenderer.h"
#include "core/simulation/SimulatedDevices.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace skelvin {

namespace {

const std::vector<double> kRawRates = {60.0, 50.0, 30.0, 25.0};

struct Offer
{
    const char *pixelFormat;
    const char *description;
    QSize size;
    std::vector<double> rates;
};

// In the order the camera lists them: the raw formats first (a camera connected without a
// choice gives raw pictures, and a stored format index keeps its meaning), then what a USB
// camera offers: Motion JPEG at the HD sizes, YUYV at the sizes USB 2 can carry uncompressed.
const std::vector<Offer> &offers()
{
    static const std::vector<Offer> list = {
        {"rgb24", "RGB 24-bit", {640, 480}, kRawRates},
        {"rgb24", "RGB 24-bit", {1280, 720}, kRawRates},
        {"rgb24", "RGB 24-bit", {1920, 1080}, kRawRates},
        {"bgr0", "BGRX 32-bit", {640, 480}, kRawRates},
        {"bgr0", "BGRX 32-bit", {1280, 720}, kRawRates},
        {"bgr0", "BGRX 32-bit", {1920, 1080}, kRawRates},
        {"mjpeg", "Motion-JPEG", {1280, 720}, {60.0, 50.0, 30.0, 25.0}},
        {"mjpeg", "Motion-JPEG", {1920, 1080}, {30.0, 25.0}},
        {"yuyv422", "YUYV 4:2:2", {640, 480}, {30.0}},
        {"yuyv422", "YUYV 4:2:2", {1280, 720}, {10.0}},
    };
    return list;
}

bool offered(const VideoFormat &format)
{
    return std::any_of(offers().begin(), offers().end(), [&](const Offer &offer) {
        return format.pixelFormat == QLatin1String(offer.pixelFormat) &&
               format.size == offer.size &&
               std::any_of(offer.rates.begin(), offer.rates.end(),
                           [&](double r) { return std::abs(r - format.framesPerSecond) < 0.01; });
    });
}

// The chip stands for the camera's sensor and processor, which no program on the computer
// slows down: its thread asks for precedence over the machine's other work (nice -10; an
// ordinary user without the right to raise a priority keeps the normal one). The threads Qt's
// drawing starts from it (its pool for large pictures, which the drawing waits for) inherit
// the precedence; they only ever draw.
constexpr int kChipNice = -10;

void becomeChipThread()
{
    becomeWorkerThread(SimulatedCamera::kChipThreadName, kChipNice);
}

} // namespace

SimulatedCamera::SimulatedCamera(SimulatedScene scene) : m_scene(std::move(scene)) {}

SimulatedCamera::~SimulatedCamera()
{
    endChip();
}

QString SimulatedCamera::name() const
{
    return kSimulatedCameraName;
}

std::vector<VideoFormatOffer> SimulatedCamera::formats() const
{
    std::vector<VideoFormatOffer> list;
    for (const Offer &offer : offers()) {
        list.push_back({QString::fromLatin1(offer.pixelFormat),
                        QString::fromLatin1(offer.description), offer.size, offer.rates});
    }
    return list;
}

Failure SimulatedCamera::start(const VideoFormat &format)
{
    if (!offered(format) || !CameraChip::delivers(format.pixelFormat)) {
        return QStringLiteral("The simulated camera does not offer %1 at %2 x %3, %4 fps")
            .arg(format.pixelFormat)
            .arg(format.size.width())
            .arg(format.size.height())
            .arg(format.framesPerSecond);
    }
    endChip();
    std::lock_guard lock(m_mutex);
    m_format = format;
    m_running = true;
    m_interrupted = false;
    m_ready.clear();
    m_leftOut = 0;
    m_droppedForBuffers = 0;
    m_chipError.clear();
    m_chip = std::thread([this, format] { chipLoop(format); });
    return std::nullopt;
}

void SimulatedCamera::stop()
{
    endChip();
}

void SimulatedCamera::endChip()
{
    std::thread chip;
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_ready.clear();
        chip = std::move(m_chip);
    }
    m_wake.notify_all();
    if (chip.joinable())
        chip.join();
}

void SimulatedCamera::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_wake.notify_all();
}

void SimulatedCamera::recordingStarted()
{
    std::lock_guard lock(m_mutex);
    // Frames exposed before the request are not the recording's.
    ++m_generation;
    m_ready.clear();
}

int64_t SimulatedCamera::slotsLeftOut() const
{
    std::lock_guard lock(m_mutex);
    return m_leftOut;
}

int64_t SimulatedCamera::framesDroppedForBuffers() const
{
    std::lock_guard lock(m_mutex);
    return m_droppedForBuffers;
}

SimulatedCamera::Clock::time_point SimulatedCamera::slotTime(Clock::time_point start, double fps,
                                                             int64_t slot) const
{
    const double seconds = static_cast<double>(slot) / fps;
    return start + std::chrono::nanoseconds(std::llround(seconds * 1e9));
}

void SimulatedCamera::chipLoop(VideoFormat format)
{
    becomeChipThread();
    const QImage::Format sensorFormat = CameraChip::sensorFormat(format.pixelFormat);
    CameraChip chip;
    Failure failed = chip.open(format.pixelFormat, format.size);
    // The water of a new size is drawn here, before the first frame.
    if (!failed &&
        (!m_renderer || m_renderer->size() != format.size || m_renderer->format() != sensorFormat))
        m_renderer = std::make_shared<SceneRenderer>(m_scene, format.size, sensorFormat);
    if (failed) {
        std::lock_guard lock(m_mutex);
        m_chipError = *failed;
        m_running = false;
        m_wake.notify_all();
        return;
    }
    const SceneRenderer &renderer = *m_renderer;
    const double fps = format.framesPerSecond;
    // The same jitter every run, so a test that fails fails again.
    std::mt19937 random(24);
    std::uniform_int_distribution<int> jitterUs(-kJitterUs, kJitterUs);
    QImage sensor;
    if (!chip.raw())
        sensor = QImage(format.size, sensorFormat);

    // The clock starts with the first frame that can be drawn.
    const Clock::time_point start = Clock::now();
    int64_t slot = 0;
    int64_t numberBase = 0; // the slot of frame number 0
    int64_t jumpSlot = -1;  // the slot the current jump started at; -1: none yet
    int64_t nextPreviewJumpSlot = std::llround(fps); // one second in
    // A recording asked for before the chip's first frame (right after start, or while the
    // camera was stopped) starts with that frame: the chip begins from the last request it
    // acted on, not from the newest.
    int generation = 0;
    {
        std::lock_guard lock(m_mutex);
        generation = m_generationActedOn;
    }
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            const Clock::time_point due = slotTime(start, fps, slot);
            m_wake.wait_until(lock, due, [this] { return !m_running; });
            if (!m_running)
                return;
            const Clock::time_point now = Clock::now();
            if (now - due > std::chrono::duration<double>(kMostLateSeconds)) {
                // Too far behind: the slots in between are gone.
                const auto behind = std::chrono::duration<double>(now - start).count();
                const int64_t caughtUp = static_cast<int64_t>(std::floor(behind * fps));
                m_leftOut += caughtUp - slot;
                slot = caughtUp;
            }
            if (m_generation != generation) {
                generation = m_generation;
                m_generationActedOn = generation;
                numberBase = slot;
                jumpSlot = slot;
                nextPreviewJumpSlot = slot + std::llround(kQuietAfterRecordingSeconds * fps);
            } else if (slot >= nextPreviewJumpSlot) {
                jumpSlot = slot;
                nextPreviewJumpSlot = slot + std::llround(kPreviewJumpSeconds * fps);
            }
        }
        const int frameNumber = static_cast<int>(slot - numberBase);
        const std::optional<double> sinceJump =
            jumpSlot >= 0 ? std::optional<double>((slot - jumpSlot) / fps) : std::nullopt;
        const Clock::time_point exposed =
            slotTime(start, fps, slot) + std::chrono::microseconds(jitterUs(random));

        Ready ready;
        ready.generation = generation;
        QString error;
        bool made = true;
        if (chip.raw()) {
            ready.frame.picture = chip.rawFrame();
            made = ready.frame.picture != nullptr;
            if (made) {
                // Drawn straight into the frame's own memory.
                AVFrame &f = *ready.frame.picture;
                QImage target(f.data[0], f.width, f.height, f.linesize[0], sensorFormat);
                renderer.renderInto(target, slot / fps, sinceJump, frameNumber);
            }
        } else {
            renderer.renderInto(sensor, slot / fps, sinceJump, frameNumber);
            made = chip.deliver(sensor, ready.frame, error);
        }
        ready.frame.timestampUs =
            std::chrono::duration_cast<std::chrono::microseconds>(exposed.time_since_epoch())
                .count();
        if (ready.frame.picture)
            ready.frame.picture->pts = ready.frame.timestampUs;
        if (ready.frame.packet)
            ready.frame.packet->pts = ready.frame.packet->dts = ready.frame.timestampUs;
        {
            std::lock_guard lock(m_mutex);
            if (!m_running)
                return;
            if (made && ready.generation == m_generation) {
                if (int(m_ready.size()) >= kBuffers)
                    ++m_droppedForBuffers;
                else
                    m_ready.push_back(std::move(ready));
            }
        }
        m_wake.notify_all();
        ++slot;
    }
}

ReadStatus SimulatedCamera::read(CapturedFrame &frame, QString &error)
{
    std::unique_lock lock(m_mutex);
    if (!m_running) {
        error = m_chipError.isEmpty() ? QStringLiteral("The simulated camera is not started")
                                      : m_chipError;
        return ReadStatus::Ended;
    }
    // About a frame interval, and a little more while the chip draws the water of a new size.
    const auto wait = std::chrono::duration<double>(std::max(1.0 / m_format.framesPerSecond, 0.05));
    m_wake.wait_for(lock, wait, [this] { return !m_ready.empty() || m_interrupted || !m_running; });
    if (m_interrupted) {
        m_interrupted = false;
        return ReadStatus::Again;
    }
    if (m_ready.empty())
        return ReadStatus::Again;
    frame = std::move(m_ready.front().frame);
    m_ready.pop_front();
    return ReadStatus::Delivered;
}

} // namespace skelvin
