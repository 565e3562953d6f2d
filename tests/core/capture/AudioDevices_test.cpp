#include "support/TestDirs.h"

#include "core/capture/AudioMonitor.h"
#include "core/capture/FfmpegAudioSource.h"
#include "core/capture/SoundDevices.h"

#include <gtest/gtest.h>

namespace skelvin {
namespace {

// /proc/asound/pcm of a PC with a built-in codec (with an HDMI output) and two USB headsets
// of one make.
const QByteArray kPcm = "00-00: ALC887-VD Analog : ALC887-VD Analog : playback 1 : capture 1\n"
                        "00-02: ALC887-VD Alt Analog : ALC887-VD Alt Analog : capture 1\n"
                        "00-03: HDMI 0 : HDMI 0 : playback 1\n"
                        "01-00: USB Audio : USB Audio : playback 1 : capture 1\n"
                        "02-00: USB Audio : USB Audio : playback 1 : capture 1\n";

TEST(AudioDevices, CaptureDevicesAreThoseTheKernelListsWithTheSoundServerFirst)
{
    test::TestDirs dirs;
    const QString pcm = dirs.writeFile(QStringLiteral("pcm"), kPcm);
    const QString noSocket = dirs.file(QStringLiteral("pulse/native"));

    const std::vector<SoundDevice> expected = {
        {"ALC887-VD Analog", "alsa", "plughw:0,0"},
        {"ALC887-VD Alt Analog", "alsa", "plughw:0,2"},
        {"USB Audio (hw:1,0)", "alsa", "plughw:1,0"},
        {"USB Audio (hw:2,0)", "alsa", "plughw:2,0"},
    };
    EXPECT_EQ(SoundDevices::captureDevices(pcm, noSocket), expected);

    const QString socket = dirs.writeFile(QStringLiteral("pulse/native"), {});
    const std::vector<SoundDevice> withServer = SoundDevices::captureDevices(pcm, socket);
    ASSERT_EQ(withServer.size(), 5u);
    EXPECT_EQ(withServer[0], (SoundDevice{kPulseDefaultSourceName, "pulse", "default"}));
}

TEST(AudioDevices, AMachineWithoutSoundHasNoDevicesAndNoOutput)
{
    test::TestDirs dirs;
    const QString missing = dirs.file(QStringLiteral("none"));
    EXPECT_TRUE(SoundDevices::captureDevices(missing, missing).empty());
    EXPECT_FALSE(SoundDevices::hasOutput(missing, missing));

    const QString playbackOnly =
        dirs.writeFile(QStringLiteral("pcm"), "00-03: HDMI 0 : HDMI 0 : playback 1\n");
    EXPECT_TRUE(SoundDevices::captureDevices(playbackOnly, missing).empty());
    EXPECT_TRUE(SoundDevices::hasOutput(playbackOnly, missing));

    AudioMonitor monitor([] { return false; });
    EXPECT_EQ(monitor.start(44100, 2, 16), QStringLiteral("No sound output device"));
    EXPECT_FALSE(monitor.playing());
    monitor.play(QByteArray(400, '\0')); // ignored, no crash
}

TEST(AudioDevices, EightBitSoundIsTheHighByteOfEachSampleMadeUnsigned)
{
    // Little-endian 16-bit: -32768, -1, 0, 255, 256, 32767.
    const QByteArray signed16("\x00\x80\xff\xff\x00\x00\xff\x00\x00\x01\xff\x7f", 12);
    EXPECT_EQ(FfmpegAudioSource::toUnsigned8(signed16), QByteArray("\x00\x7f\x80\x80\x81\xff", 6));
}

TEST(AudioDevices, ASoundDeviceThatCannotBeOpenedSaysSoAndNeverWaits)
{
    FfmpegAudioSource source({"USB Audio", "alsa", "plughw:97,0"});
    EXPECT_EQ(
        source.start(22050, 3, 16),
        QStringLiteral("USB Audio cannot record 22050 samples per second, 16 bit, 3 channels"));
    const Failure failure = source.start(44100, 2, 16);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith(QStringLiteral("USB Audio "))) << failure->toStdString();

    CapturedSound sound;
    QString error;
    EXPECT_EQ(source.read(sound, error), ReadStatus::Ended);
    EXPECT_EQ(error, QStringLiteral("USB Audio is not started"));
}

} // namespace
} // namespace skelvin
