#include "V4l2FakeIo.h"

#include "core/capture/devices/DeviceErrors.h"
#include "core/capture/devices/V4l2Camera.h"

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using test::V4l2FakeIo;

const QString kNode = QStringLiteral("/dev/video0");

class V4l2CameraTest : public ::testing::Test
{
protected:
    std::unique_ptr<V4l2Camera> makeCamera(test::FakeV4l2Node node, const QString &path = kNode,
                                           const QByteArray &ffmpegInput = "video4linux2")
    {
        io->plug(path, std::move(node));
        auto device = std::make_unique<V4l2Device>(io, path);
        EXPECT_EQ(device->open(), 0);
        V4l2DeviceInfo info;
        EXPECT_EQ(device->readInfo(info), 0);
        const QString name = info.name;
        return std::make_unique<V4l2Camera>(std::move(device), std::move(info), name, ffmpegInput);
    }

    std::shared_ptr<V4l2FakeIo> io = std::make_shared<V4l2FakeIo>();
};

TEST_F(V4l2CameraTest, ControlsAreSetByTheirIdWithinTheirRange)
{
    auto camera = makeCamera(test::fakeWebcam());
    EXPECT_EQ(camera->setControl(QStringLiteral("brightness"), 255), std::nullopt);
    EXPECT_EQ(camera->setControl(QStringLiteral("power_line_frequency"), 1), std::nullopt);
    EXPECT_EQ(camera->setControl(QStringLiteral("white_balance_temperature_auto"), 0),
              std::nullopt);
    EXPECT_EQ(io->controlWrites,
              (std::vector<std::pair<uint32_t, int>>{{uint32_t(V4L2_CID_BRIGHTNESS), 255},
                                                     {uint32_t(V4L2_CID_POWER_LINE_FREQUENCY), 1},
                                                     {uint32_t(V4L2_CID_AUTO_WHITE_BALANCE), 0}}));
    const std::vector<DeviceSetting> settings = camera->controls();
    ASSERT_EQ(settings.size(), 5u);
    EXPECT_EQ(settings[0].value, 255);
    EXPECT_EQ(settings[2].value, 1);

    // Refused before they reach the device.
    EXPECT_EQ(camera->setControl(QStringLiteral("brightness"), 256),
              QStringLiteral("256 is not a value Brightness can take (0 to 255)"));
    EXPECT_EQ(camera->setControl(QStringLiteral("auto_exposure"), 2),
              QStringLiteral("2 is not a value Auto Exposure can take (0 to 3)"));
    EXPECT_EQ(camera->setControl(QStringLiteral("white_balance_temperature"), 5000),
              QStringLiteral("White Balance Temperature cannot be changed now"));
    EXPECT_EQ(camera->setControl(QStringLiteral("zoom"), 1),
              QStringLiteral("Fake HD Webcam has no control \"zoom\""));
    EXPECT_EQ(io->controlWrites.size(), 3u);
}

TEST_F(V4l2CameraTest, APulledOutCameraSaysSoAndHasNoControls)
{
    auto camera = makeCamera(test::fakeWebcam());
    io->unplug(kNode);
    EXPECT_TRUE(camera->controls().empty());
    EXPECT_EQ(camera->setControl(QStringLiteral("brightness"), 10),
              QStringLiteral("Fake HD Webcam was disconnected"));
}

TEST_F(V4l2CameraTest, InputsAreListedOnlyWhenThereIsAChoice)
{
    auto webcam = makeCamera(test::fakeWebcam());
    EXPECT_TRUE(webcam->inputNames().isEmpty());
    EXPECT_EQ(webcam->setInputIndex(0), std::nullopt);
    EXPECT_EQ(webcam->setInputIndex(1), QStringLiteral("Fake HD Webcam has no input 1"));

    test::FakeV4l2Node card = test::fakeWebcam("Fake Capture Card");
    card.inputs = {"Composite", "S-Video"};
    card.input = 1;
    auto capture = makeCamera(card, QStringLiteral("/dev/video4"));
    EXPECT_EQ(capture->inputNames(), (QStringList{"Composite", "S-Video"}));
    EXPECT_EQ(capture->inputIndex(), 1);
    EXPECT_EQ(capture->setInputIndex(0), std::nullopt);
    EXPECT_EQ(capture->inputIndex(), 0);
    EXPECT_EQ(io->node(QStringLiteral("/dev/video4")).input, 0);
}

TEST_F(V4l2CameraTest, TheFfmpegInputIsAskedForTheChosenSizeRateFormatAndInput)
{
    const VideoFormat format{QStringLiteral("mjpeg"), QSize(1280, 720), 30.0};
    EXPECT_EQ(V4l2Camera::inputOptions(format, -1),
              (FfmpegDeviceInput::Options{
                  {"video_size", "1280x720"}, {"framerate", "30"}, {"input_format", "mjpeg"}}));
    const VideoFormat ntsc{QStringLiteral("yuyv422"), QSize(720, 480), 29.97};
    EXPECT_EQ(V4l2Camera::inputOptions(ntsc, 1),
              (FfmpegDeviceInput::Options{{"video_size", "720x480"},
                                          {"framerate", "29.97"},
                                          {"input_format", "yuyv422"},
                                          {"channel", "1"}}));
}

TEST_F(V4l2CameraTest, StartingFailsInWordsAndReadingThenEnds)
{
    // The fake node is not on the machine, so FFmpeg finds no device there.
    auto camera = makeCamera(test::fakeWebcam(), QStringLiteral("/nonexistent/video0"));
    EXPECT_EQ(camera->start({QStringLiteral("mjpeg"), QSize(800, 600), 30.0}),
              QStringLiteral("Fake HD Webcam does not offer mjpeg pictures of 800 x 600 at 30 "
                             "frames per second"));
    EXPECT_EQ(camera->start({QStringLiteral("mjpeg"), QSize(640, 480), 60.0}),
              QStringLiteral("Fake HD Webcam was disconnected"));

    CapturedFrame frame;
    QString error;
    EXPECT_EQ(camera->read(frame, error), ReadStatus::Ended);
    EXPECT_EQ(error, QStringLiteral("Fake HD Webcam is not started"));
    camera->stop(); // safe when nothing runs
}

TEST_F(V4l2CameraTest, RawPicturesAreDecodedAndStampedInMicroseconds)
{
    // FFmpeg's test picture source stands in for the camera's YUYV pictures at 30 per second.
    auto camera = makeCamera(
        test::fakeWebcam(), QStringLiteral("testsrc=size=640x480:rate=30,format=yuyv422"), "lavfi");
    ASSERT_EQ(camera->start({QStringLiteral("yuyv422"), QSize(640, 480), 30.0}), std::nullopt);
    std::vector<int64_t> times;
    for (int i = 0; i < 3; ++i) {
        CapturedFrame frame;
        QString error;
        ASSERT_EQ(camera->read(frame, error), ReadStatus::Delivered) << error.toStdString();
        ASSERT_NE(frame.picture, nullptr);
        EXPECT_EQ(frame.packet, nullptr);
        EXPECT_EQ(frame.picture->width, 640);
        EXPECT_EQ(frame.picture->height, 480);
        EXPECT_EQ(frame.picture->format, AV_PIX_FMT_YUYV422);
        times.push_back(frame.timestampUs);
    }
    EXPECT_EQ(times, (std::vector<int64_t>{0, 33333, 66667}));

    camera->stop();
    CapturedFrame frame;
    QString error;
    EXPECT_EQ(camera->read(frame, error), ReadStatus::Ended);
}

TEST(V4l2CameraErrors, FfmpegFailuresWhileOpeningOrReadingAreToldInWords)
{
    const QString name = QStringLiteral("Fake HD Webcam");
    EXPECT_EQ(ffmpegDeviceErrorText(name, AVERROR(EBUSY)),
              QStringLiteral("Fake HD Webcam is in use by another program"));
    for (int gone : {AVERROR(ENODEV), AVERROR(EIO), AVERROR_EOF})
        EXPECT_EQ(ffmpegDeviceErrorText(name, gone),
                  QStringLiteral("Fake HD Webcam was disconnected"));
    EXPECT_EQ(ffmpegDeviceErrorText(name, AVERROR_INVALIDDATA),
              QStringLiteral("Fake HD Webcam failed: Invalid data found when processing input"));
}

} // namespace
} // namespace skelvin
