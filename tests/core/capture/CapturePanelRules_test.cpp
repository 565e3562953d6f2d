#include "core/capture/AudioAttributes.h"
#include "core/capture/CaptureErrorText.h"
#include "core/capture/CaptureListChoices.h"
#include "core/capture/DeviceListChanges.h"
#include "core/capture/TestCaptureFileDialog.h"
#include "support/FakeCaptureDevice.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using test::FakeCaptureDevice;
using test::ScriptedPrompter;

TEST(CaptureErrorText, ControlNumbersReadInHexadecimalAndOthersInDecimal)
{
    const CaptureError busy{capture_error::kDeviceBusy, QStringLiteral("Camera A is in use")};
    // The control's numbers are negative as int: the hexadecimal text is the unsigned value.
    EXPECT_EQ(captureErrorText(busy, ErrorNumberBase::Hexadecimal),
              QStringLiteral("Eror code: 80040002 Camera A is in use"));
    EXPECT_EQ(captureErrorText(busy, ErrorNumberBase::Decimal),
              QStringLiteral("Eror code: -2147221502 Camera A is in use"));
    EXPECT_EQ(captureErrorText({255, QStringLiteral("x")}, ErrorNumberBase::Hexadecimal,
                               QStringLiteral("Error code: ")),
              QStringLiteral("Error code: FF x"));

    ScriptedPrompter prompter;
    prompter.answer(Answer::Ok);
    informCaptureError(prompter, busy, ErrorNumberBase::Hexadecimal);
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts()[0].text, QStringLiteral("Eror code: 80040002 Camera A is in use"));
    EXPECT_EQ(prompter.prompts()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::None);
}

TEST(CaptureListChoices, StoredChoicesThatAreGoneFallBack)
{
    EXPECT_EQ(storedChoice(2, 3, 0), 2);
    EXPECT_EQ(storedChoice(3, 3, 0), 0) << "one past the end";
    EXPECT_EQ(storedChoice(-1, 3, 7), 7) << "nothing stored";
    EXPECT_EQ(storedChoice(0, 0, -1), -1) << "an empty list";

    const QStringList cameras{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Sim")};
    const ListChoice none = videoDeviceChoice({}, 1, false);
    EXPECT_EQ(none.items, QStringList{kNoCaptureDevicesText});
    EXPECT_EQ(none.selected, 0);
    EXPECT_EQ(videoDeviceChoice(cameras, 1, false).selected, 1);
    EXPECT_EQ(videoDeviceChoice(cameras, 5, false).selected, 0);
    EXPECT_EQ(videoDeviceChoice(cameras, 0, true).selected, 2) << "the simulated camera is last";

    const ListChoice audio = noneFirstChoice({QStringLiteral("Mic")}, -1);
    EXPECT_EQ(audio.items, (QStringList{kNoneItemText, QStringLiteral("Mic")}));
    EXPECT_EQ(audio.selected, 0);
    EXPECT_EQ(noneFirstChoice({QStringLiteral("Mic")}, 0).selected, 1);

    const ListChoice channels = channelChoice(2, 4, 3);
    EXPECT_EQ(channels.items, (QStringList{QStringLiteral("2"), QStringLiteral("3"),
                                           QStringLiteral("4")}));
    EXPECT_EQ(channels.selected, 1);
}

TEST(CaptureListChoices, WithoutAStoredCompressorTheFirstRealOneRecords)
{
    // Items: "None", then the compressors.
    EXPECT_EQ(compressorAtStartup(-1, 4), 1);
    EXPECT_EQ(compressorAtStartup(9, 4), 1) << "a compressor that is gone";
    EXPECT_EQ(compressorAtStartup(0, 4), 0) << "None chosen by the operator stays";
    EXPECT_EQ(compressorAtStartup(3, 4), 3);
    EXPECT_EQ(compressorAtStartup(-1, 1), 0) << "only None to choose";
}

TEST(CaptureListChoices, AChoiceTheDeviceHoldsIsNotSetAgainAndARefusalIsTold)
{
    FakeCaptureDevice device;
    ScriptedPrompter prompter;
    EXPECT_TRUE(applyDeviceChoice(device, prompter, 1, 1, &CaptureDevice::setVideoResolution));
    EXPECT_TRUE(device.calls.isEmpty());
    EXPECT_TRUE(applyDeviceChoice(device, prompter, 1, 0, &CaptureDevice::setVideoResolution));
    EXPECT_EQ(device.calls, QStringList{QStringLiteral("setVideoResolution 0")});

    device.connectFailure = CaptureError{capture_error::kDeviceBusy, QStringLiteral("busy")};
    prompter.answer(Answer::Ok);
    EXPECT_FALSE(applyDeviceChoice(device, prompter, -1, 0, &CaptureDevice::ConnectDevice,
                                   QStringLiteral("Error code: ")));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error code: -2147221502 busy")});
}

TEST(DeviceListChanges, CamerasArrivingAreOfferedOnlyWhileNoneIsConnected)
{
    FakeCaptureDevice device;
    ScriptedPrompter prompter;
    DeviceListChanges changes(device, prompter);
    const QString question = DeviceListChanges::pluggedInQuestion(QStringLiteral("Camera B"));
    EXPECT_EQ(question,
              QStringLiteral("Camera B is plugged into your computer. Do you want to use it?"));

    // The first camera replaces "No Capture Devices" and is chosen without a question.
    device.videoDevices = {QStringLiteral("Camera A")};
    device.videoIndex = -1;
    ListChoice shown = changes.videoDevices({kNoCaptureDevicesText}, 0, 0, QStringLiteral("Camera A"));
    EXPECT_EQ(shown.items, QStringList{QStringLiteral("Camera A")});
    EXPECT_EQ(shown.selected, 0);
    EXPECT_EQ(device.videoIndex, 0);

    // A second one, not connected: the operator takes it.
    device.videoDevices << QStringLiteral("Camera B");
    prompter.answer(Answer::Yes);
    shown = changes.videoDevices(shown.items, 0, 1, QStringLiteral("Camera B"));
    EXPECT_EQ(prompter.texts(), QStringList{question});
    EXPECT_EQ(shown.items, (QStringList{QStringLiteral("Camera A"), QStringLiteral("Camera B")}));
    EXPECT_EQ(shown.selected, 1);
    EXPECT_EQ(device.videoIndex, 1);

    // A third one while connected is only listed: no question.
    prompter.clear();
    device.connected = true;
    device.videoDevices.insert(0, QStringLiteral("Camera C"));
    device.videoIndex = 2; // the control keeps its camera chosen
    shown = changes.videoDevices(shown.items, 0, 0, QStringLiteral("Camera C"));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(shown.items.first(), QStringLiteral("Camera C"));
    EXPECT_EQ(shown.selected, 2);
}

TEST(DeviceListChanges, RemovalsKeepTheListInStepAndTheLastBringsBackNoDevices)
{
    FakeCaptureDevice device;
    ScriptedPrompter prompter;
    DeviceListChanges changes(device, prompter);
    const QStringList two{QStringLiteral("Camera A"), QStringLiteral("Camera B")};
    device.videoDevices = {QStringLiteral("Camera B")};
    device.videoIndex = 0;
    ListChoice shown = changes.videoDevices(two, 1, 0, QStringLiteral("Camera A"));
    EXPECT_EQ(shown.items, QStringList{QStringLiteral("Camera B")});
    EXPECT_EQ(shown.selected, 0);
    // A removal the list does not hold changes nothing in it.
    shown = changes.videoDevices(shown.items, 1, 5, QStringLiteral("Ghost"));
    EXPECT_EQ(shown.items, QStringList{QStringLiteral("Camera B")});

    device.videoDevices.clear();
    device.videoIndex = -1;
    shown = changes.videoDevices(shown.items, 1, 0, QStringLiteral("Camera B"));
    EXPECT_EQ(shown.items, QStringList{kNoCaptureDevicesText});
    EXPECT_EQ(shown.selected, 0);
}

TEST(DeviceListChanges, SoundDevicesStandBehindNoneWhichIsNeverRemoved)
{
    FakeCaptureDevice device;
    ScriptedPrompter prompter;
    DeviceListChanges changes(device, prompter);
    device.audioDevices = {QStringLiteral("Mic")};
    prompter.answer(Answer::No);
    ListChoice shown = changes.audioDevices({kNoneItemText}, 0, 0, QStringLiteral("Mic"));
    EXPECT_EQ(shown.items, (QStringList{kNoneItemText, QStringLiteral("Mic")}));
    EXPECT_EQ(shown.selected, 0) << "declined: still no sound";
    EXPECT_EQ(device.audioIndex, -1);

    shown = changes.audioDevices(shown.items, 1, -1, QString());
    EXPECT_EQ(shown.items.first(), kNoneItemText);
    EXPECT_EQ(shown.items.size(), 2);

    device.audioDevices.clear();
    shown = changes.audioDevices(shown.items, 1, 0, QStringLiteral("Mic"));
    EXPECT_EQ(shown.items, QStringList{kNoneItemText});
    EXPECT_EQ(shown.selected, 0);
}

TEST(AudioFormatItems, AnItemWithoutARateKeepsTheControlsRateAndMatchingIgnoresCase)
{
    const QStringList items = audioAttributeItems();
    const AudioFormatChoice stereo16 = audioFormatToSet(7, items.at(7), 48000);
    EXPECT_EQ(stereo16.sampleRate, 22050);
    EXPECT_EQ(stereo16.channels, 2);
    EXPECT_EQ(stereo16.bitsPerSample, 16);
    EXPECT_EQ(audioFormatToSet(0, QStringLiteral("Khz"), 48000).sampleRate, 48000);
    EXPECT_EQ(audioFormatToSet(0, QStringLiteral("0.000 Khz, 8 bit, Mono"), 44100).sampleRate,
              44100);

    // The control's own format text ("bit") names the offered item ("Bit").
    EXPECT_EQ(audioItemOf(items, audioFormatText(44100, 16, 2)), 15);
    EXPECT_EQ(audioItemOf(items, audioFormatText(48000, 16, 2)), -1);
}

TEST(TestCaptureFileDialog, StreamsAreOfferedAsAviAndStillsAsPictures)
{
    const FileDialogRequest streams =
        testCaptureFileRequest(QStringLiteral("testvid.avi"), QStringLiteral("/videos"), true);
    EXPECT_EQ(streams.kind, FileDialogKind::Save);
    EXPECT_EQ(streams.startDirectory, QStringLiteral("/videos"));
    EXPECT_EQ(streams.startFile, QStringLiteral("testvid.avi"));
    ASSERT_EQ(streams.filters.size(), 1);
    EXPECT_EQ(streams.filters[0].patterns, QStringLiteral("*.avi"));
    EXPECT_EQ(streams.defaultSuffix, QStringLiteral("avi"));

    const FileDialogRequest stills =
        testCaptureFileRequest(QStringLiteral("/data/stills/a.jpg"), QStringLiteral("/videos"), false);
    EXPECT_EQ(stills.startDirectory, QStringLiteral("/data/stills"));
    EXPECT_EQ(stills.startFile, QStringLiteral("a.jpg"));
    EXPECT_EQ(stills.filters.size(), 4);
    EXPECT_EQ(stills.defaultSuffix, QStringLiteral("jpg"));
}

} // namespace
} // namespace skelvin
