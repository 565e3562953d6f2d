#pragma once

#include "core/capture/devices/VideoSource.h"
#include "core/simulation/RealTimeGate.h"
#include "core/simulation/SimulatedScene.h"

#include <QImage>

#include <atomic>
#include <chrono>
#include <memory>

namespace skelvin {

class SceneRenderer;

// The simulated camera: renders its scene in real time at the format it is started with
// ("rgb24" or "bgr0"; 640 x 480, 1280 x 720 or 1920 x 1080; 60, 50, 30 or 25 frames per
// second). Frames come on a steady clock: frame slot n is due n frame intervals after the
// start and carries that moment as its time stamp; a reader that falls more than a frame
// behind finds the slots in between dropped, as a real camera drops them.
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

private:
    using Clock = RealTimeGate::Clock;
    Clock::time_point slotTime(int64_t slot) const;

    SimulatedScene m_scene;
    // Shared with a read under way, so a restart never pulls it from under the drawing.
    std::shared_ptr<SceneRenderer> m_renderer;
    VideoFormat m_format;
    int m_avPixelFormat = -1;
    QImage::Format m_imageFormat = QImage::Format_RGB32;

    RealTimeGate m_gate; // its mutex also guards the members below
    std::atomic<bool> m_recordingRequested{false};
    Clock::time_point m_start;
    int64_t m_nextSlot = 0;
    int64_t m_numberBase = 0; // the slot of frame number 0
    int64_t m_jumpSlot = -1;  // the slot the current jump started at; -1: none yet
    int64_t m_nextPreviewJumpSlot = 0;
};

} // namespace skelvin
