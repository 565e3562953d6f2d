#include "core/capture/recording/PacketDecoder.h"
#include "core/capture/recording/PictureConversion.h"
#include "core/simulation/FrameNumberStrip.h"
#include "core/simulation/SimulatedCamera.h"
#include "core/simulation/SimulatedDevices.h"
#include "core/simulation/SimulatedMicrophone.h"
#include "support/TestDirs.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <cmath>
#include <thread>

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

// The picture of a frame in any of the camera's formats, decoded and converted as the
// program does.
QImage pictureOf(const CapturedFrame &frame)
{
    const AVFrame *f = frame.picture.get();
    PacketDecoder decoder;
    if (!f && frame.packet) {
        Result<const AVFrame *> decoded = decoder.decode(*frame.packet, frame.packetCodec);
        if (!decoded) {
            ADD_FAILURE() << decoded.error().toStdString();
            return {};
        }
        f = decoded.value();
    }
    if (!f) {
        ADD_FAILURE() << "neither picture nor packet";
        return {};
    }
    ffmpeg::ScaleContext scale;
    return pictureToImage(*f, QSize(f->width, f->height), scale);
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
    // The raw formats first, then what a USB camera offers: Motion JPEG at the HD sizes,
    // YUYV at the sizes USB 2 carries uncompressed.
    QStringList listed;
    for (const VideoFormatOffer &offer : offers) {
        QStringList rates;
        for (double rate : offer.framesPerSecond)
            rates << QString::number(rate);
        listed << QStringLiteral("%1 %2x%3 %4")
                      .arg(offer.pixelFormat)
                      .arg(offer.size.width())
                      .arg(offer.size.height())
                      .arg(rates.join(QLatin1Char('/')));
    }
    EXPECT_EQ(listed, (QStringList{"rgb24 640x480 60/50/30/25", "rgb24 1280x720 60/50/30/25",
                                   "rgb24 1920x1080 60/50/30/25", "bgr0 640x480 60/50/30/25",
                                   "bgr0 1280x720 60/50/30/25", "bgr0 1920x1080 60/50/30/25",
                                   "mjpeg 1280x720 60/50/30/25", "mjpeg 1920x1080 30/25",
                                   "yuyv422 640x480 30", "yuyv422 1280x720 10"}));
    EXPECT_EQ(offers[6].description, QStringLiteral("Motion-JPEG"));
    EXPECT_EQ(offers[8].description, QStringLiteral("YUYV 4:2:2"));

    CapturedFrame frame;
    EXPECT_EQ(camera->read(frame, error), ReadStatus::Ended);
    EXPECT_EQ(error, QStringLiteral("The simulated camera is not started"));
    EXPECT_EQ(camera->start({QStringLiteral("yuyv422"), QSize(1280, 720), 30.0}),
              QStringLiteral("The simulated camera does not offer yuyv422 at 1280 x 720, 30 fps"));
    EXPECT_TRUE(camera->start({QStringLiteral("rgb24"), QSize(800, 600), 30.0}).has_value());
    EXPECT_TRUE(camera->start({QStringLiteral("rgb24"), kVga, 24.0}).has_value());
    EXPECT_TRUE(camera->start({QStringLiteral("mjpeg"), kVga, 30.0}).has_value());
    EXPECT_TRUE(camera->start({QStringLiteral("mjpeg"), QSize(1920, 1080), 60.0}).has_value());

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
    // both. Time stamps jitter by up to 1.5 ms, a tenth of a frame time at 60 fps.
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
        EXPECT_NEAR(elapsedSlots, std::round(elapsedSlots), 0.2);
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

// A recording asked for as the camera starts, before its first frame, starts with that frame:
// the skier leaves the ramp in frame 0 and the splash shows at the landing frame, not a
// preview jump's second later.
TEST(SimulatedCamera, ARecordingAskedForAtTheStartBeginsWithTheJump)
{
    SimulatedScene scene;
    scene.landing().seconds = 0.5;
    const int landing = scene.landingFrame(30.0);
    const QPointF at = scene.pictureOf(scene.landingSurvey(), kVga);
    SimulatedCamera camera{scene};
    ASSERT_FALSE(camera.start({QStringLiteral("rgb24"), kVga, 30.0}));
    camera.recordingStarted();
    QImage picture = pictureOf(readFrame(camera));
    EXPECT_EQ(readFrameNumberStrip(picture), 0);
    while (readFrameNumberStrip(picture) < landing + 3)
        picture = pictureOf(readFrame(camera));
    int spray = 0;
    for (int y = int(at.y()) - 8; y <= int(at.y()) + 8; ++y)
        for (int x = int(at.x()) - 8; x <= int(at.x()) + 8; ++x) {
            const QRgb c = picture.pixel(x, y);
            spray += qRed(c) > 215 && qGreen(c) > 215 && qBlue(c) > 215;
        }
    EXPECT_GT(spray, 5);
    camera.stop();
}

// What a USB camera delivers: Motion JPEG packets at the HD sizes, YUYV pictures at the small
// ones, each numbered, time-stamped at its exposure with a millisecond or two of jitter.
TEST(SimulatedCamera, MotionJpegAndYuyvFramesAreTheCamerasOwnAndCarryTheirNumbers)
{
    struct Case
    {
        VideoFormat format;
        bool packet;
        int avFormat;
    };
    const Case cases[] = {
        {{QStringLiteral("mjpeg"), QSize(1280, 720), 60.0}, true, AV_PIX_FMT_NONE},
        {{QStringLiteral("mjpeg"), QSize(1920, 1080), 30.0}, true, AV_PIX_FMT_NONE},
        {{QStringLiteral("yuyv422"), kVga, 30.0}, false, AV_PIX_FMT_YUYV422},
        {{QStringLiteral("yuyv422"), QSize(1280, 720), 10.0}, false, AV_PIX_FMT_YUYV422},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format.pixelFormat.toStdString() + " " +
                     std::to_string(c.format.size.width()));
        SimulatedCamera camera{SimulatedScene()};
        ASSERT_FALSE(camera.start(c.format));
        camera.recordingStarted();
        const double usPerFrame = 1e6 / c.format.framesPerSecond;
        int64_t firstUs = 0;
        double largestJitterUs = 0;
        for (int i = 0; i < 8; ++i) {
            const CapturedFrame f = readFrame(camera);
            if (c.packet) {
                ASSERT_TRUE(f.packet);
                EXPECT_FALSE(f.picture);
                EXPECT_EQ(f.packetCodec, QStringLiteral("mjpeg"));
                EXPECT_TRUE(f.packet->flags & AV_PKT_FLAG_KEY);
                // A JPEG picture: starts with SOI, ends with EOI.
                ASSERT_GT(f.packet->size, 1000);
                EXPECT_EQ(f.packet->data[0], 0xFF);
                EXPECT_EQ(f.packet->data[1], 0xD8);
                EXPECT_EQ(f.packet->data[f.packet->size - 2], 0xFF);
                EXPECT_EQ(f.packet->data[f.packet->size - 1], 0xD9);
            } else {
                ASSERT_TRUE(f.picture);
                EXPECT_FALSE(f.packet);
                EXPECT_EQ(f.picture->format, c.avFormat);
            }
            const QImage picture = pictureOf(f);
            EXPECT_EQ(picture.size(), c.format.size);
            if (i == 0)
                firstUs = f.timestampUs;
            const double elapsedSlots = (f.timestampUs - firstUs) / usPerFrame;
            const double slot = std::round(elapsedSlots);
            largestJitterUs = std::max(largestJitterUs, std::abs(elapsedSlots - slot) * usPerFrame);
            EXPECT_EQ(readFrameNumberStrip(picture), int(slot)) << "frame " << i;
        }
        // Jitter there is, within two camera jitters (the first frame's and this one's).
        EXPECT_LE(largestJitterUs, 2.0 * SimulatedCamera::kJitterUs + 1);
    }
}

TEST(SimulatedCamera, TheChipWorksOnItsOwnThreadAndReadOnlyHandsOverFinishedFrames)
{
    SimulatedCamera camera{SimulatedScene()};
    ASSERT_FALSE(camera.start({QStringLiteral("mjpeg"), QSize(1920, 1080), 30.0}));
    readFrame(camera);
    // The chip's thread is there, under its own name.
    bool found = false;
    for (const QFileInfo &task :
         QDir(QStringLiteral("/proc/self/task")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(task.filePath() + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) &&
            comm.readAll().trimmed() == QByteArray(SimulatedCamera::kChipThreadName))
            found = true;
    }
    EXPECT_TRUE(found);
    // Frames that waited in the buffers while nobody read are handed over at once, in order.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto before = std::chrono::steady_clock::now();
    int64_t lastUs = 0;
    for (int i = 0; i < 4; ++i) {
        const CapturedFrame f = readFrame(camera);
        EXPECT_GT(f.timestampUs, lastUs);
        lastUs = f.timestampUs;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));
    EXPECT_EQ(camera.framesDroppedForBuffers(), 0);
    camera.stop();
    CapturedFrame frame;
    QString error;
    EXPECT_EQ(camera.read(frame, error), ReadStatus::Ended);
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
