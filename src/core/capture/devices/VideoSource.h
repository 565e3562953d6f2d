#pragma once

#include "core/capture/shared/CaptureTypes.h"
#include "core/capture/shared/CapturedFrame.h"
#include "core/common/Result.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace skelvin {

// A device that delivers pictures: a camera (`V4l2Camera`) or the simulated camera
// (`SimulatedCamera`). The capture control owns one while it is connected; its capture thread
// calls `read` in a loop, every other call comes from the interface thread.
class VideoSource
{
public:
    virtual ~VideoSource() = default;

    virtual QString name() const = 0;

    // Video inputs (a capture card's connectors); empty when the device has only one.
    virtual QStringList inputNames() const { return {}; }
    virtual int inputIndex() const { return 0; }
    virtual Failure setInputIndex(int) { return std::nullopt; }

    // Every pixel format x size x rate the device offers, in the device's order.
    virtual std::vector<VideoFormatOffer> formats() const = 0;

    // Starts delivering frames in `format` (one the device offers). Failure: the reason in
    // plain words ("... is in use by another program", ...).
    virtual Failure start(const VideoFormat &format) = 0;
    virtual void stop() = 0;

    // Capture thread: waits at most about one frame interval for the next frame.
    virtual ReadStatus read(CapturedFrame &frame, QString &error) = 0;
    // Any thread: makes a waiting `read` return Again soon.
    virtual void interrupt() {}

    // The device's own controls (brightness, contrast, exposure, gain, white balance, ...).
    virtual std::vector<DeviceSetting> controls() const { return {}; }
    virtual Failure setControl(const QString & /*id*/, int /*value*/) { return QStringLiteral("No such control"); }

    // Tuner channels; no device of ours has a tuner so far.
    virtual bool hasTuner() const { return false; }
    virtual int minChannel() const { return 0; }
    virtual int maxChannel() const { return 0; }
    virtual int tunerChannel() const { return 0; }
    virtual Failure setTunerChannel(int) { return QStringLiteral("The device has no tuner"); }

    // A recording starts now (the simulated skier leaves the ramp).
    virtual void recordingStarted() {}
};

} // namespace skelvin
