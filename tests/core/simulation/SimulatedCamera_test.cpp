#include "core/simulation/FrameNumberStrip.h"
#include "core/simulation/SimulatedCamera.h"
#include "core/simulation/SimulatedDevices.h"
#include "core/simulation/SimulatedMicrophone.h"
#include "support/TestDirs.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace skelvin;
using namespace skelvin::test;

namespace {

const QSize kVga(640, 480);

CapturedFrame readFrame(VideoSource &camera)
{
    CapturedFrame frame;
    QString error;
    for (int tries = 0; tries < 100; ++tries) {
        const ReadStatus status = camera.read(frame, error);
        EXPECT_NE(status, ReadStatus::Ended) << error.toStdString();
        if (status == ReadStatus::Delivered)
            return frame;
    }
    ADD_FAILURE() << "no frame";
    return frame;
}

QImage pictureOf(const CapturedFrame &frame)
{
    const AVFrame &f = *frame.picture;
    const QImage::Format format =
        f.format == AV_PIX_FMT_RGB24 ? QImage::Format_RGB888 : QImage::Format_RGB32;
    return QImage(f.data[0], f.width, f.height, f.linesize[0], format).copy();
}

int64_t steadyNowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double peakOf(const CapturedSound &sound)
{
    double peak = 0.0;
    for (qsizetype i = 0; i + 1 < sound.pcm.size(); i += 2) {
        const qint16 v = qFromLittleEndian<qint16>(sound.pcm.constData() + i);
        peak = std::max(peak, std::abs(v / 32768.0));
    }
    return peak;
}

} // namespace

TEST(SimulatedCamera, OffersItsFormatsAndRefusesAnyOther)
{
    QString error;
    std::unique_ptr<VideoSource> camera = makeSimulatedCamera(QString(), error);
    ASSERT_TRUE(camera);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(camera->name(), QStringLiteral("Simulated camera"));
    const std::vector<VideoFormatOffer> offers = camera->formats();
    ASSERT_EQ(offers.size(), 6u);
    EXPECT_EQ(offers[0].pixelFormat, QStringLiteral("rgb24"));
    EXPECT_EQ(offers[5].pixelFormat, QStringLiteral("bgr0"));
    EXPECT_EQ(offers[5].size, QSize(1920, 1080));
    EXPECT_EQ(offers[1].framesPerSecond, (std::vector<double>{60, 50, 30, 25}));

    CapturedFrame frame;
    EXPECT_EQ(camera->read(frame, error), ReadStatus::Ended);
    EXPECT_EQ(error, QStringLiteral("The simulated camera is not started"));
    EXPECT_EQ(camera->start({QStringLiteral("yuyv422"), QSize(1280, 720), 30.0}),
              QStringLiteral("The simulated camera does not offer yuyv422 at 1280 x 720, 30 fps"));
    EXPECT_TRUE(camera->start({QStringLiteral("rgb24"), QSize(800, 600), 30.0}).has_value());
    EXPECT_TRUE(camera->start({QStringLiteral("rgb24"), kVga, 24.0}).has_value());

    QString sceneError;
    EXPECT_FALSE(makeSimulatedCamera(QStringLiteral("/nonexistent/scene.ini"), sceneError));
    EXPECT_EQ(sceneError, QStringLiteral("The scene file /nonexistent/scene.ini does not exist"));
}

TEST(SimulatedCamera, FramesKeepTheClockAndCountFromTheRecordingStart)
{
    SimulatedCamera camera{SimulatedScene()};
    ASSERT_FALSE(camera.start({QStringLiteral("rgb24"), kVga, 60.0}));
    const double usPerFrame = 1e6 / 60.0;

    // Frame number and time stamp advance together: a slot the reader missed is missing from
    // both.
    CapturedFrame first = readFrame(camera);
    ASSERT_TRUE(first.picture);
    EXPECT_EQ(first.picture->format, AV_PIX_FMT_RGB24);
    EXPECT_EQ(first.picture->width, 640);
    EXPECT_EQ(first.picture->height, 480);
    const int firstNumber = readFrameNumberStrip(pictureOf(first));
    int64_t lastStamp = first.timestampUs;
    for (int i = 0; i < 4; ++i) {
        const CapturedFrame f = readFrame(camera);
        EXPECT_GT(f.timestampUs, lastStamp);
        lastStamp = f.timestampUs;
        const double elapsedSlots = (f.timestampUs - first.timestampUs) / usPerFrame;
        EXPECT_NEAR(elapsedSlots, std::round(elapsedSlots), 0.01);
        EXPECT_EQ(readFrameNumberStrip(pictureOf(f)), firstNumber + std::lround(elapsedSlots));
    }

    camera.recordingStarted();
    const CapturedFrame start = readFrame(camera);
    EXPECT_EQ(readFrameNumberStrip(pictureOf(start)), 0);
    EXPECT_GT(start.timestampUs, lastStamp);
    const CapturedFrame next = readFrame(camera);
    EXPECT_EQ(readFrameNumberStrip(pictureOf(next)),
              std::lround((next.timestampUs - start.timestampUs) / usPerFrame));
}

TEST(SimulatedCamera, Bgr0FramesHoldTheSameColoursInTheirOwnByteOrder)
{
    const SimulatedScene scene;
    const QPointF buoy = scene.pictureOf(scene.course().checkBuoy, kVga);
    const int x = int(std::lround(buoy.x())), y = int(std::lround(buoy.y()));

    SimulatedCamera rgb{scene}, bgr{scene};
    ASSERT_FALSE(rgb.start({QStringLiteral("rgb24"), kVga, 30.0}));
    ASSERT_FALSE(bgr.start({QStringLiteral("bgr0"), kVga, 30.0}));
    const CapturedFrame a = readFrame(rgb);
    const CapturedFrame b = readFrame(bgr);
    ASSERT_EQ(b.picture->format, AV_PIX_FMT_BGR0);
    const uint8_t *p = a.picture->data[0] + y * a.picture->linesize[0] + 3 * x;
    const uint8_t *q = b.picture->data[0] + y * b.picture->linesize[0] + 4 * x;
    EXPECT_EQ(p[0], 255); // the orange of a buoy: red first in rgb24
    EXPECT_EQ(q[2], p[0]);
    EXPECT_EQ(q[1], p[1]);
    EXPECT_EQ(q[0], p[2]);
}

TEST(SimulatedMicrophone, SoftWaterThenTheSplashAtTheLandingTimeAfterTheRecordingStarts)
{
    TestDirs dirs;
    const QString scene = dirs.writeFile(QStringLiteral("quick.ini"), "[landing]\nseconds=0.1\n");
    QString error;
    std::unique_ptr<AudioSource> microphone = makeSimulatedMicrophone(scene, error);
    ASSERT_TRUE(microphone) << error.toStdString();
    EXPECT_EQ(microphone->name(), QStringLiteral("Simulated microphone"));
    EXPECT_EQ(microphone->start(44100, 3, 16),
              QStringLiteral("The simulated microphone does not offer 44100 samples per second, "
                             "16 bit, 3 channels"));
    ASSERT_FALSE(microphone->start(44100, 1, 16));

    CapturedSound sound;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(microphone->read(sound, error), ReadStatus::Delivered);
        EXPECT_EQ(sound.pcm.size(), 882 * 2);
        EXPECT_LT(peakOf(sound), 0.15);
    }
    const int64_t recordingUs = steadyNowUs();
    microphone->recordingStarted();
    std::optional<int64_t> loudAtUs;
    for (int i = 0; i < 30 && !loudAtUs; ++i) {
        ASSERT_EQ(microphone->read(sound, error), ReadStatus::Delivered);
        if (peakOf(sound) > 0.3)
            loudAtUs = sound.timestampUs;
    }
    ASSERT_TRUE(loudAtUs);
    // The block that holds the splash starts within one block of the landing time.
    EXPECT_NEAR(double(*loudAtUs - recordingUs), 100000.0, 25000.0);

    // 8-bit samples are unsigned around 128, interleaved per channel.
    ASSERT_FALSE(microphone->start(22050, 2, 8));
    ASSERT_EQ(microphone->read(sound, error), ReadStatus::Delivered);
    ASSERT_EQ(sound.pcm.size(), 441 * 2);
    for (char c : sound.pcm)
        EXPECT_NEAR(static_cast<uint8_t>(c), 128, 20);
}
