#include "support/TestDirs.h"

#include "core/capture/AudioMonitor.h"
#include "core/capture/devices/FfmpegAudioSource.h"
#include "core/capture/devices/SoundDevices.h"

#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

// /proc/asound/pcm and /proc/asound/cards of a PC with a built-in codec (with an HDMI output)
// and two webcams of one make with their microphones.
const QByteArray kPcm = "00-00: ALC887-VD Analog : ALC887-VD Analog : playback 1 : capture 1\n"
                        "00-02: ALC887-VD Alt Analog : ALC887-VD Alt Analog : capture 1\n"
                        "00-03: HDMI 0 : HDMI 0 : playback 1\n"
                        "01-00: USB Audio : USB Audio : playback 1 : capture 1\n"
                        "02-00: USB Audio : USB Audio : capture 1\n";
const QByteArray kCards = " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
                          "                      HDA Intel PCH at 0xf7f10000 irq 32\n"
                          " 1 [C920           ]: USB-Audio - HD Pro Webcam C920\n"
                          "                      HD Pro Webcam C920 at usb-0000:00:14.0-1\n"
                          " 2 [C920_1         ]: USB-Audio - HD Pro Webcam C920\n"
                          "                      HD Pro Webcam C920 at usb-0000:00:14.0-2\n";

TEST(AudioDevices, CaptureDevicesAreThoseTheKernelListsWithTheSoundServerFirst)
{
    test::TestDirs dirs;
    const QString pcm = dirs.writeFile(QStringLiteral("asound/pcm"), kPcm);
    const QString cards = dirs.writeFile(QStringLiteral("asound/cards"), kCards);
    const QString noSocket = dirs.file(QStringLiteral("pulse/native"));

    const std::vector<SoundDevice> expected = {
        {"HDA Intel PCH: ALC887-VD Analog", "alsa", "plughw:0,0"},
        {"HDA Intel PCH: ALC887-VD Alt Analog", "alsa", "plughw:0,2"},
        {"HD Pro Webcam C920 (hw:1,0)", "alsa", "plughw:1,0"},
        {"HD Pro Webcam C920 (hw:2,0)", "alsa", "plughw:2,0"},
    };
    EXPECT_EQ(SoundDevices::captureDevices(pcm, noSocket), expected);
    EXPECT_TRUE(SoundDevices::hasOutput(pcm, noSocket));

    // Without the card list the devices keep their own names.
    QFile::remove(cards);
    const std::vector<SoundDevice> byDevice = SoundDevices::captureDevices(pcm, noSocket);
    ASSERT_EQ(byDevice.size(), 4u);
    EXPECT_EQ(byDevice[0].name, QStringLiteral("ALC887-VD Analog"));
    EXPECT_EQ(byDevice[3].name, QStringLiteral("USB Audio (hw:2,0)"));

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

TEST(AudioDevices, SoundIsDeliveredInTheFormatItWasStartedWith)
{
    // FFmpeg's sine source stands in for a sound card giving 16-bit mono at 22050 per second.
    const SoundDevice tone{"Tone", "lavfi",
                           "sine=frequency=1000:sample_rate=22050,"
                           "aformat=sample_fmts=s16:channel_layouts=mono"};
    FfmpegAudioSource source(tone);
    EXPECT_EQ(source.start(44100, 2, 16),
              QStringLiteral("Tone cannot record 44100 samples per second, 2 channels"));

    int64_t bytes16 = 0;
    ASSERT_EQ(source.start(22050, 1, 16), std::nullopt);
    CapturedSound sound;
    QString error;
    ASSERT_EQ(source.read(sound, error), ReadStatus::Delivered) << error.toStdString();
    bytes16 = sound.pcm.size();
    EXPECT_GT(bytes16, 0);
    EXPECT_EQ(sound.timestampUs, 0);

    // 8-bit: one byte a sample, silence at 128, the tone swinging around it.
    ASSERT_EQ(source.start(22050, 1, 8), std::nullopt);
    ASSERT_EQ(source.read(sound, error), ReadStatus::Delivered) << error.toStdString();
    EXPECT_EQ(sound.pcm.size() * 2, bytes16);
    EXPECT_EQ(uint8_t(sound.pcm[0]), 128); // the sine starts at 0
    const auto [low, high] = std::minmax_element(
        sound.pcm.begin(), sound.pcm.end(), [](char a, char b) { return uint8_t(a) < uint8_t(b); });
    EXPECT_LT(uint8_t(*low), 128);
    EXPECT_GT(uint8_t(*high), 128);
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
