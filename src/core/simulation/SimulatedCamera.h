#pragma once

#include "core/capture/devices/VideoSource.h"
#include "core/simulation/SimulatedScene.h"

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace skelvin {

class SceneRenderer;

// The simulated camera, delivering as a USB camera does: Motion JPEG ("mjpeg") at 1280 x 720
// (60, 50, 30, 25 fps) and 1920 x 1080 (30, 25 fps), YUYV 4:2:2 ("yuyv422") at 640 x 480
// (30 fps) and 1280 x 720 (10 fps), and, for tests that want raw pictures, "rgb24" and "bgr0"
// at 640 x 480, 1280 x 720 and 1920 x 1080 (60, 50, 30, 25 fps). The raw formats come first, so
// a camera connected without a choice gives raw pictures.
//
// The camera works on a thread of its own, named "camera-chip", that stands for the camera's
// sensor and processor: frame slot n is exposed n frame intervals after the start, drawn, and
// compressed or converted by the chip (`CameraChip`), then waits in the camera's buffers until
// `read` takes it, as the frames of a V4L2 camera wait in the driver's buffers. Everything the
// chip does is the camera's cost, not the program's; its thread's time is reported apart, and
// it runs before the machine's other work (nice -10, where the user may raise a priority), as
// a camera's own processor is slowed by nothing on the computer.
//
// Each frame carries its exposure moment as its time stamp, with the jitter of a USB camera's
// (up to kJitterUs either way). A chip that falls behind (the machine is busy) still delivers
// every slot with its own time, late; only when it is more than kMostLateSeconds behind does
// it leave slots out, as a camera that cannot keep up does. The buffers hold kBuffers frames;
// a reader that falls further behind finds the newest frames dropped, as a driver with no free
// buffer drops them.
//
// While only previewing, a skier jumps a second after the start and then every 6 s. The first
// frame read after recordingStarted() shows the skier leaving the ramp and carries frame
// number 0; frame numbers count on from there (before any recording, from the start).
class SimulatedCamera : public VideoSource
{
public:
    static constexpr double kPreviewJumpSeconds = 6.0;
    // After a recording starts, the next jump comes only when the longest capture is over.
    static constexpr double kQuietAfterRecordingSeconds = 10.0;
    static constexpr int kJitterUs = 1500;
    static constexpr double kMostLateSeconds = 2.0;
    // As many as a UVC camera's driver gives FFmpeg's V4L2 input.
    static constexpr int kBuffers = 32;
    // The name of the chip's thread (what `top -H` and the benchmarks show).
    static constexpr const char *kChipThreadName = "camera-chip";

    explicit SimulatedCamera(SimulatedScene scene);
    ~SimulatedCamera() override;

    QString name() const override;
    std::vector<VideoFormatOffer> formats() const override;
    Failure start(const VideoFormat &format) override;
    void stop() override;
    ReadStatus read(CapturedFrame &frame, QString &error) override;
    void interrupt() override;
    void recordingStarted() override;

    const SimulatedScene &scene() const { return m_scene; }

    // Slots the chip left out because it was too far behind, and frames dropped because no
    // buffer was free, since the start.
    int64_t slotsLeftOut() const;
    int64_t framesDroppedForBuffers() const;

private:
    using Clock = std::chrono::steady_clock;

    struct Ready
    {
        CapturedFrame frame;
        int generation = 0; // the recording request it was exposed after
    };

    void chipLoop(VideoFormat format);
    Clock::time_point slotTime(Clock::time_point start, double fps, int64_t slot) const;
    void endChip();

    SimulatedScene m_scene;
    // Built by the chip thread; kept across restarts of the same size and format, as drawing
    // the water of a new size takes a while.
    std::shared_ptr<SceneRenderer> m_renderer;

    mutable std::mutex m_mutex; // guards everything below
    std::condition_variable m_wake;
    std::thread m_chip;
    bool m_running = false;
    bool m_interrupted = false;
    VideoFormat m_format;
    std::deque<Ready> m_ready;
    int m_generation = 0; // counts recording requests
    int m_generationActedOn = 0; // the request the chip last started a recording for
    int64_t m_leftOut = 0;
    int64_t m_droppedForBuffers = 0;
    QString m_chipError; // why the chip stopped, when it failed
};

} // namespace skelvin
