#pragma once

#include "core/capture/devices/DeviceCatalog.h"
#include "core/capture/devices/VideoSource.h"

#include <QSet>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace skelvin::test {

// What a synthetic camera does: frames stamped with their number (readable with readStamp),
// delivered in real time at the rate it is started with.
struct SyntheticCameraScript
{
    QString name = QStringLiteral("Test camera");
    std::vector<VideoFormatOffer> offers;
    QSet<int> missing;       // frame numbers the camera skips (their time passes unused)
    int endAfterFrames = -1; // the camera vanishes after this many frames
    QString startFailure;    // start() fails with this text
    bool motionJpeg = false; // deliver compressed Motion JPEG packets
    std::atomic<int> *delivered = nullptr; // counts frames delivered, when set
    std::atomic<int> *recordingStarts = nullptr;
};

// Offers {pixelFormat} x sizes x rates.
std::vector<VideoFormatOffer> offersOf(const QString &pixelFormat, const std::vector<QSize> &sizes,
                                       const std::vector<double> &rates);

std::unique_ptr<VideoSource> makeSyntheticCamera(const SyntheticCameraScript &script);

// The Motion JPEG packet the synthetic camera delivers for frame n of `size`.
QByteArray syntheticJpeg(QSize size, int n);

// A device catalogue of synthetic cameras whose arrival and removal a test announces.
class SyntheticCatalog : public DeviceCatalog
{
public:
    std::vector<std::function<std::unique_ptr<VideoSource>()>> cameras;
    QStringList cameraNames;

    QStringList videoDeviceNames() const override { return cameraNames; }
    QStringList audioDeviceNames() const override { return {}; }
    std::unique_ptr<VideoSource> openVideo(int index, QString &error) override;
    std::unique_ptr<AudioSource> openAudio(int, QString &error) override
    {
        error = QStringLiteral("no sound here");
        return nullptr;
    }
    void add(const QString &name, std::function<std::unique_ptr<VideoSource>()> make);
    void remove(int index);
};

} // namespace skelvin::test
