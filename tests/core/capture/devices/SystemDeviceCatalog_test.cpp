#include "V4l2FakeIo.h"

#include "core/capture/devices/SystemDeviceCatalog.h"
#include "core/capture/devices/V4l2Camera.h"
#include "core/simulation/SimulatedDeviceCatalog.h"
#include "core/simulation/SimulatedDevices.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using test::V4l2FakeIo;

class SystemDeviceCatalogTest : public ::testing::Test
{
protected:
    std::unique_ptr<SystemDeviceCatalog> makeCatalog()
    {
        SystemDeviceCatalog::Sources sources;
        sources.io = io;
        sources.videoNodes = [this] { return nodes; };
        sources.soundDevices = [this] { return sound; };
        return std::make_unique<SystemDeviceCatalog>(std::move(sources));
    }

    void plug(const QString &node, test::FakeV4l2Node fake)
    {
        io->plug(node, std::move(fake));
        nodes << node;
    }

    std::shared_ptr<V4l2FakeIo> io = std::make_shared<V4l2FakeIo>();
    QStringList nodes;
    std::vector<SoundDevice> sound;
};

QVariantList change(int kind, int index, const QString &name)
{
    return {kind, index, name};
}

// The machine's catalogue never offers the simulated devices: a stored device index that points
// past today's cameras must not connect a made-up scene.
TEST_F(SystemDeviceCatalogTest, WithoutDevicesNothingIsListedAndNothingOpens)
{
    auto catalog = makeCatalog();
    EXPECT_EQ(catalog->videoDeviceNames(), QStringList());
    EXPECT_EQ(catalog->audioDeviceNames(), QStringList());
    QString error;
    EXPECT_EQ(catalog->openVideo(-1, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("There is no video device -1"));
    EXPECT_EQ(catalog->openVideo(0, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("There is no video device 0"));
    EXPECT_EQ(catalog->openAudio(0, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("There is no audio device 0"));
}

TEST_F(SystemDeviceCatalogTest, ThisMachineListsWhatItHasAndNoSimulatedDevice)
{
    // The build machine has no camera and perhaps no sound; nothing waits for a device or a
    // sound server.
    std::unique_ptr<DeviceCatalog> catalog = makeSystemDeviceCatalog();
    const QStringList video = catalog->videoDeviceNames();
    EXPECT_FALSE(video.contains(kSimulatedCameraName));
    if (SystemDeviceCatalog::systemVideoNodes().isEmpty()) {
        EXPECT_EQ(video, QStringList());
    }
    EXPECT_FALSE(catalog->audioDeviceNames().contains(kSimulatedMicrophoneName));
}

// skelvin-tool's catalogue: the machine's devices, then the simulated ones, with the machine's
// news passed on at the same positions.
TEST_F(SystemDeviceCatalogTest, TheToolOffersTheSimulatedDevicesAfterTheMachines)
{
    plug(QStringLiteral("/dev/video0"), test::fakeWebcam());
    sound = {SoundDevice{"ALC887-VD Analog", "alsa", "plughw:0,0"}};
    auto owned = makeCatalog();
    SystemDeviceCatalog *machine = owned.get();
    SimulatedDeviceCatalog catalog({}, std::move(owned));
    EXPECT_EQ(catalog.videoDeviceNames(), (QStringList{"Fake HD Webcam", kSimulatedCameraName}));
    EXPECT_EQ(catalog.audioDeviceNames(),
              (QStringList{"ALC887-VD Analog", kSimulatedMicrophoneName}));
    QString error;
    EXPECT_EQ(catalog.openVideo(0, error)->name(), QStringLiteral("Fake HD Webcam"));
    EXPECT_EQ(catalog.openVideo(1, error)->name(), kSimulatedCameraName);
    EXPECT_EQ(catalog.openAudio(1, error)->name(), kSimulatedMicrophoneName);
    EXPECT_EQ(catalog.openVideo(2, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("There is no capture device 2"));

    QSignalSpy changes(&catalog, &DeviceCatalog::videoDeviceChanged);
    io->unplug(QStringLiteral("/dev/video0"));
    machine->videoNodeRemoved(QStringLiteral("/dev/video0"));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.takeFirst(), change(1, 0, QStringLiteral("Fake HD Webcam")));
    EXPECT_EQ(catalog.videoDeviceNames(), QStringList{kSimulatedCameraName});
    EXPECT_EQ(catalog.openVideo(0, error)->name(), kSimulatedCameraName);
}

TEST_F(SystemDeviceCatalogTest, CamerasComeInNodeNumberOrderWithoutMetadataNodes)
{
    plug(QStringLiteral("/dev/video10"), test::fakeWebcam("Fake Capture Card"));
    plug(QStringLiteral("/dev/video3"), test::fakeMetadataNode());
    plug(QStringLiteral("/dev/video2"), test::fakeWebcam());
    plug(QStringLiteral("/dev/video4"), test::fakeWebcam());
    // A node that delivers nothing FFmpeg can take is no camera either.
    test::FakeV4l2Node bayer = test::fakeWebcam("Fake Bayer Sensor");
    bayer.formats.erase(bayer.formats.begin());
    bayer.formats.pop_back();
    plug(QStringLiteral("/dev/video0"), bayer);

    auto catalog = makeCatalog();
    // Two cameras of one make are told apart by their nodes.
    EXPECT_EQ(catalog->videoDeviceNames(),
              (QStringList{"Fake HD Webcam", "Fake HD Webcam (/dev/video4)", "Fake Capture Card"}));
    EXPECT_EQ(io->openDescriptors(), 0);
}

TEST_F(SystemDeviceCatalogTest, CamerasPluggedInAndPulledOutChangeTheListAndSayWhere)
{
    plug(QStringLiteral("/dev/video2"), test::fakeWebcam("Fake Capture Card"));
    auto catalog = makeCatalog();
    QSignalSpy changes(catalog.get(), &DeviceCatalog::videoDeviceChanged);
    QString error;
    EXPECT_EQ(catalog->openVideo(1, error), nullptr);

    io->plug(QStringLiteral("/dev/video0"), test::fakeWebcam());
    io->plug(QStringLiteral("/dev/video1"), test::fakeMetadataNode());
    catalog->videoNodeAdded(QStringLiteral("/dev/video0"));
    catalog->videoNodeAdded(QStringLiteral("/dev/video1"));
    catalog->videoNodeAdded(QStringLiteral("/dev/video0")); // told twice: listed once
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.takeFirst(), change(0, 0, QStringLiteral("Fake HD Webcam")));
    EXPECT_EQ(catalog->videoDeviceNames(),
              (QStringList{"Fake HD Webcam", "Fake Capture Card"}));
    EXPECT_EQ(catalog->openVideo(2, error), nullptr);
    EXPECT_EQ(catalog->openVideo(0, error)->name(), QStringLiteral("Fake HD Webcam"));

    io->unplug(QStringLiteral("/dev/video2"));
    catalog->videoNodeRemoved(QStringLiteral("/dev/video1")); // not listed: no news
    catalog->videoNodeRemoved(QStringLiteral("/dev/video2"));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.takeFirst(), change(1, 1, QStringLiteral("Fake Capture Card")));
    EXPECT_EQ(catalog->videoDeviceNames(), QStringList{"Fake HD Webcam"});

    io->unplug(QStringLiteral("/dev/video0"));
    catalog->videoNodeRemoved(QStringLiteral("/dev/video0"));
    EXPECT_EQ(changes.takeFirst(), change(1, 0, QStringLiteral("Fake HD Webcam")));
    EXPECT_EQ(catalog->videoDeviceNames(), QStringList());
}

TEST_F(SystemDeviceCatalogTest, OpeningACameraGivesItsFormatsAndControlsOrSaysWhyNot)
{
    plug(QStringLiteral("/dev/video0"), test::fakeWebcam());
    auto catalog = makeCatalog();
    QString error;
    {
        std::unique_ptr<VideoSource> camera = catalog->openVideo(0, error);
        ASSERT_NE(camera, nullptr) << error.toStdString();
        EXPECT_EQ(camera->name(), QStringLiteral("Fake HD Webcam"));
        EXPECT_EQ(camera->formats().size(), 6u);
        EXPECT_EQ(camera->controls().size(), 5u);
        EXPECT_EQ(io->openDescriptors(), 1);
    }
    EXPECT_EQ(io->openDescriptors(), 0);

    io->node(QStringLiteral("/dev/video0")).busy = true;
    EXPECT_EQ(catalog->openVideo(0, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("Fake HD Webcam is in use by another program"));

    // Pulled out, and the news has not come yet.
    io->unplug(QStringLiteral("/dev/video0"));
    EXPECT_EQ(catalog->openVideo(0, error), nullptr);
    EXPECT_EQ(error, QStringLiteral("Fake HD Webcam was disconnected"));
}

TEST_F(SystemDeviceCatalogTest, SoundDevicesComingAndGoingChangeTheListAndSayWhere)
{
    const SoundDevice pulse{kPulseDefaultSourceName, "pulse", "default"};
    const SoundDevice builtIn{"ALC887-VD Analog", "alsa", "plughw:0,0"};
    const SoundDevice usb{"USB Audio", "alsa", "plughw:1,0"};
    sound = {pulse, builtIn};
    auto catalog = makeCatalog();
    EXPECT_EQ(catalog->audioDeviceNames(),
              (QStringList{kPulseDefaultSourceName, "ALC887-VD Analog"}));
    QSignalSpy changes(catalog.get(), &DeviceCatalog::audioDeviceChanged);

    sound = {pulse, builtIn, usb};
    catalog->soundDevicesChanged();
    catalog->soundDevicesChanged(); // a card gives several events; the list changes once
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.takeFirst(), change(0, 2, QStringLiteral("USB Audio")));

    sound = {builtIn, usb};
    catalog->soundDevicesChanged();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.takeFirst(), change(1, 0, kPulseDefaultSourceName));
    EXPECT_EQ(catalog->audioDeviceNames(),
              (QStringList{"ALC887-VD Analog", "USB Audio"}));

    QString error;
    std::unique_ptr<AudioSource> source = catalog->openAudio(1, error);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->name(), QStringLiteral("USB Audio"));
}

} // namespace
} // namespace skelvin
