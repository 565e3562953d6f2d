#include "V4l2FakeIo.h"

#include "core/capture/devices/DeviceErrors.h"
#include "core/capture/devices/V4l2Device.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace skelvin {
namespace {

using test::V4l2FakeIo;

const QString kNode = QStringLiteral("/dev/video0");

std::vector<double> rates(std::initializer_list<double> list)
{
    return list;
}

class V4l2DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override { io->plug(kNode, test::fakeWebcam()); }

    V4l2DeviceInfo readInfo()
    {
        V4l2Device device(io, kNode);
        V4l2DeviceInfo info;
        EXPECT_EQ(device.open(), 0);
        EXPECT_EQ(device.readInfo(info), 0);
        return info;
    }

    std::shared_ptr<V4l2FakeIo> io = std::make_shared<V4l2FakeIo>();
};

TEST_F(V4l2DeviceTest, ReadsNameInputsAndEveryFormatSizeAndRateFfmpegCanTake)
{
    const V4l2DeviceInfo info = readInfo();
    EXPECT_EQ(info.path, kNode);
    EXPECT_EQ(info.name, QStringLiteral("Fake HD Webcam"));
    EXPECT_EQ(info.busInfo, QStringLiteral("usb-0000:00:14.0-1"));
    EXPECT_TRUE(info.capturesVideo);
    EXPECT_EQ(info.inputs, QStringList{QStringLiteral("Camera 1")});

    struct Expected
    {
        const char *pixelFormat;
        const char *description;
        QSize size;
        std::vector<double> fps;
    };
    // The Bayer format between the two is left out; rates come largest first.
    const std::vector<Expected> expected = {
        {"yuyv422", "YUYV 4:2:2", {640, 480}, rates({30, 15})},
        {"yuyv422", "YUYV 4:2:2", {1280, 720}, rates({10, 5})},
        {"yuyv422", "YUYV 4:2:2", {1920, 1080}, rates({5})},
        {"mjpeg", "Motion-JPEG", {640, 480}, rates({60, 30})},
        {"mjpeg", "Motion-JPEG", {1280, 720}, rates({30})},
        {"mjpeg", "Motion-JPEG", {1920, 1080}, rates({30, 15})},
    };
    ASSERT_EQ(info.formats.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(info.formats[i].pixelFormat, QLatin1String(expected[i].pixelFormat));
        EXPECT_EQ(info.formats[i].description, QLatin1String(expected[i].description));
        EXPECT_EQ(info.formats[i].size, expected[i].size);
        EXPECT_EQ(info.formats[i].framesPerSecond, expected[i].fps);
    }
}

TEST_F(V4l2DeviceTest, CaptureCardRangesGiveTheUsualSizesAndRatesWithinThem)
{
    test::FakeV4l2Node card = test::fakeWebcam("Fake Capture Card");
    card.inputs = {"Composite", "S-Video"};
    card.input = 1;
    card.formats.resize(1);
    // 48..720 x 32..576 in steps of 16 x 8; 1/25 s to 1 s per frame.
    card.formats[0].sizes.clear();
    card.formats[0].stepwise = v4l2_frmsize_stepwise{48, 720, 16, 32, 576, 8};
    card.formats[0].continuousIntervals = v4l2_frmival_stepwise{{1, 25}, {1, 1}, {1, 1}};
    io->plug(kNode, card);

    const V4l2DeviceInfo info = readInfo();
    EXPECT_EQ(info.inputs, (QStringList{QStringLiteral("Composite"), QStringLiteral("S-Video")}));
    std::vector<QSize> sizes;
    for (const VideoFormatOffer &offer : info.formats) {
        sizes.push_back(offer.size);
        EXPECT_EQ(offer.framesPerSecond, rates({25, 20, 15, 10, 5}));
    }
    // 800 x 600 and larger do not fit; 720 x 576 is the largest the card gives.
    EXPECT_EQ(sizes, (std::vector<QSize>{{160, 120}, {320, 240}, {640, 480}, {720, 576}}));

    V4l2Device device(io, kNode);
    ASSERT_EQ(device.open(), 0);
    int input = -1;
    EXPECT_EQ(device.currentInput(input), 0);
    EXPECT_EQ(input, 1);
    EXPECT_EQ(device.setInput(0), 0);
    EXPECT_EQ(io->node(kNode).input, 0);
    EXPECT_EQ(device.setInput(5), EINVAL);
}

TEST_F(V4l2DeviceTest, MetadataNodeGivesNoPicturesAndNoFormats)
{
    io->plug(kNode, test::fakeMetadataNode());
    const V4l2DeviceInfo info = readInfo();
    EXPECT_EQ(info.name, QStringLiteral("Fake HD Webcam"));
    EXPECT_FALSE(info.capturesVideo);
    EXPECT_TRUE(info.formats.empty());
}

TEST_F(V4l2DeviceTest, ControlsAreIntegersFlagsAndMenusWithTheirValues)
{
    V4l2Device device(io, kNode);
    ASSERT_EQ(device.open(), 0);
    std::vector<V4l2Control> controls;
    ASSERT_EQ(device.controls(controls), 0);

    // The class heading and the disabled contrast are left out.
    ASSERT_EQ(controls.size(), 5u);
    const DeviceSetting &brightness = controls[0].setting;
    EXPECT_EQ(controls[0].controlId, uint32_t(V4L2_CID_BRIGHTNESS));
    EXPECT_EQ(brightness.id, QStringLiteral("brightness"));
    EXPECT_EQ(brightness.name, QStringLiteral("Brightness"));
    EXPECT_EQ(brightness.kind, DeviceSetting::Kind::Integer);
    EXPECT_EQ(brightness.minimum, 0);
    EXPECT_EQ(brightness.maximum, 255);
    EXPECT_EQ(brightness.defaultValue, 128);
    EXPECT_EQ(brightness.value, 140);
    EXPECT_FALSE(brightness.readOnly);

    const DeviceSetting &autoWhite = controls[1].setting;
    EXPECT_EQ(autoWhite.id, QStringLiteral("white_balance_temperature_auto"));
    EXPECT_EQ(autoWhite.kind, DeviceSetting::Kind::Flag);
    EXPECT_EQ(autoWhite.value, 1);

    const DeviceSetting &powerLine = controls[2].setting;
    EXPECT_EQ(powerLine.kind, DeviceSetting::Kind::Menu);
    EXPECT_EQ(powerLine.menuItems, (QStringList{"Disabled", "50 Hz", "60 Hz"}));
    EXPECT_EQ(powerLine.value, 2);

    // Inactive while the white balance is automatic.
    EXPECT_EQ(controls[3].setting.id, QStringLiteral("white_balance_temperature"));
    EXPECT_TRUE(controls[3].setting.readOnly);
    EXPECT_EQ(controls[3].setting.value, 4600);

    // Values the device leaves out of its menu keep their place as empty items.
    EXPECT_EQ(controls[4].setting.menuItems,
              (QStringList{QString(), "Manual Mode", QString(), "Aperture Priority Mode"}));
}

TEST_F(V4l2DeviceTest, SettingAControlWritesItAndReadsBackTheDevicesValue)
{
    V4l2Device device(io, kNode);
    ASSERT_EQ(device.open(), 0);
    int readBack = 0;
    EXPECT_EQ(device.setControl(V4L2_CID_BRIGHTNESS, 200, &readBack), 0);
    EXPECT_EQ(readBack, 200);
    EXPECT_EQ(io->controlWrites,
              (std::vector<std::pair<uint32_t, int>>{{uint32_t(V4L2_CID_BRIGHTNESS), 200}}));
    EXPECT_EQ(device.setControl(V4L2_CID_BRIGHTNESS, 300), ERANGE);
}

TEST_F(V4l2DeviceTest, BusyAndVanishedDevicesAreToldInWords)
{
    io->node(kNode).busy = true;
    V4l2Device busy(io, kNode);
    const int error = busy.open();
    EXPECT_EQ(error, EBUSY);
    EXPECT_EQ(deviceErrorText(QStringLiteral("Fake HD Webcam"), error),
              QStringLiteral("Fake HD Webcam is in use by another program"));

    io->node(kNode).busy = false;
    V4l2Device device(io, kNode);
    ASSERT_EQ(device.open(), 0);
    io->unplug(kNode);
    V4l2DeviceInfo info;
    std::vector<V4l2Control> controls;
    EXPECT_EQ(device.readInfo(info), ENODEV);
    EXPECT_EQ(device.controls(controls), ENODEV);
    EXPECT_EQ(device.setControl(V4L2_CID_BRIGHTNESS, 10), ENODEV);
    EXPECT_EQ(deviceErrorText(QStringLiteral("Fake HD Webcam"), ENODEV),
              QStringLiteral("Fake HD Webcam was disconnected"));
    EXPECT_EQ(V4l2Device(io, kNode).open(), ENOENT);
}

TEST_F(V4l2DeviceTest, TheNodeIsClosedWithTheObject)
{
    {
        V4l2Device device(io, kNode);
        ASSERT_EQ(device.open(), 0);
        ASSERT_EQ(device.open(), 0); // a second open keeps the one descriptor
        EXPECT_EQ(io->openDescriptors(), 1);
    }
    EXPECT_EQ(io->openDescriptors(), 0);
}

} // namespace
} // namespace skelvin
