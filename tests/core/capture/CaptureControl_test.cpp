#include "core/capture/CaptureControl.h"
#include "core/capture/PreviewWorker.h"

#include "SyntheticCamera.h"
#include "core/capture/devices/EmptyDeviceCatalog.h"
#include "core/frames/TestVideo.h"
#include "core/frames/VideoDecoder.h"
#include "support/TestDirs.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using test::SyntheticCameraScript;

struct Rig
{
    explicit Rig(std::vector<SyntheticCameraScript> scripts)
    {
        auto catalog = std::make_unique<test::SyntheticCatalog>();
        this->catalog = catalog.get();
        for (const SyntheticCameraScript &script : scripts) {
            catalog->cameraNames << script.name;
            catalog->cameras.push_back([script] { return test::makeSyntheticCamera(script); });
        }
        control = std::make_unique<CaptureControl>(std::move(catalog));
    }

    test::SyntheticCatalog *catalog = nullptr;
    std::unique_ptr<CaptureControl> control;
};

SyntheticCameraScript camera(std::vector<double> rates = {50.0, 25.0})
{
    SyntheticCameraScript script;
    script.offers = test::offersOf(QStringLiteral("rgb24"), {QSize(64, 48), QSize(128, 96)}, rates);
    return script;
}

QStringList texts(const QSignalSpy &spy, int argument = 0)
{
    QStringList list;
    for (const QList<QVariant> &call : spy)
        list << call.at(argument).toString();
    return list;
}

TEST(CaptureControl, WithoutDevicesNothingConnectsAndNothingRecords)
{
    CaptureControl control(std::make_unique<EmptyDeviceCatalog>());
    EXPECT_EQ(control.VideoDeviceCount(), 0);
    EXPECT_EQ(control.VideoDeviceIndex(), -1);
    const CaptureFailure connect = control.ConnectDevice(0);
    ASSERT_TRUE(connect);
    EXPECT_EQ(connect->code, capture_error::kNoDevice);
    EXPECT_EQ(connect->description, QStringLiteral("No Capture Devices"));
    control.setCaptureFileName(QStringLiteral("/tmp/never.avi"));
    const CaptureFailure start = control.StartCapture();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->code, capture_error::kNotConnected);
    control.StopCapture(); // safe with nothing recording
    EXPECT_FALSE(control.Capturing());

    // The compressors, with Motion JPEG the default; "None" is -1.
    EXPECT_EQ(control.VideoCompressorCount(), 3);
    EXPECT_EQ(control.VideoCompressorName(0), QStringLiteral("Motion JPEG"));
    EXPECT_EQ(control.VideoCompressorName(1), QStringLiteral("FFV1 (lossless)"));
    EXPECT_EQ(control.VideoCompressorName(2), QStringLiteral("H.264 (key frame every 10)"));
    EXPECT_EQ(control.VideoCompressor(), 0);
    EXPECT_EQ(control.setVideoCompressor(-1), std::nullopt);
    EXPECT_EQ(control.setVideoCompressor(3)->code, capture_error::kBadValue);
    EXPECT_EQ(control.AudioSampleRate(), 44100);
    EXPECT_EQ(control.AudioBitsPerSample(), 16);
    EXPECT_EQ(control.AudioChannels(), 2);
    EXPECT_EQ(control.setAudioFormat(22050, 3, 16)->code, capture_error::kBadValue);
}

TEST(CaptureControl, ConnectingListsTheOffersAndReplacesWhatTheCameraDoesNotOffer)
{
    Rig rig({camera()});
    QSignalSpy status(rig.control.get(), &CaptureDevice::statusText);
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    EXPECT_TRUE(rig.control->Connected());
    ASSERT_EQ(rig.control->VideoResolutionCount(), 2);
    EXPECT_EQ(rig.control->VideoResolutionName(0), QStringLiteral("64 x 48"));
    EXPECT_EQ(rig.control->VideoResolutionName(1), QStringLiteral("128 x 96"));
    EXPECT_EQ(rig.control->ColorFormatCount(), 1);
    EXPECT_EQ(rig.control->ColorFormatName(0), QStringLiteral("RGB24"));
    EXPECT_DOUBLE_EQ(rig.control->FrameRate(), 25.0) << "30 is not offered; 25 is nearest";

    rig.control->setFrameRate(45);
    EXPECT_DOUBLE_EQ(rig.control->FrameRate(), 50.0);
    EXPECT_EQ(rig.control->setVideoSize(QSize(120, 90)), std::nullopt);
    EXPECT_EQ(rig.control->VideoResolution(), 1);
    EXPECT_EQ(rig.control->setVideoResolution(2)->code, capture_error::kBadValue);
    QTRY_COMPARE(status.size(), 4);
    EXPECT_EQ(
        texts(status),
        (QStringList{
            QStringLiteral("Connected to Test camera"),
            QStringLiteral("Test camera does not offer 45 frames per second at 64 x 48; using 50"),
            QStringLiteral("Test camera does not offer 120 x 90; using 128 x 96"),
            QStringLiteral(
                "Test camera does not offer 45 frames per second at 128 x 96; using 50")}));

    rig.control->DisconnectDevice();
    EXPECT_FALSE(rig.control->Connected());
    EXPECT_EQ(rig.control->VideoResolutionCount(), 0);
}

TEST(CaptureControl, ABusyCameraIsRefusedWithTheReason)
{
    SyntheticCameraScript busy = camera();
    busy.startFailure = QStringLiteral("Test camera is in use by another program");
    Rig rig({busy});
    const CaptureFailure failed = rig.control->ConnectDevice(0);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->code, capture_error::kDeviceBusy);
    EXPECT_EQ(failed->description, busy.startFailure);
    EXPECT_FALSE(rig.control->Connected());
}

TEST(CaptureControl, ATimeLimitedRecordingHoldsEveryFrameOnceAndTellsItsEnd)
{
    test::TestDirs dirs;
    std::atomic<int> starts{0};
    SyntheticCameraScript script = camera();
    script.recordingStarts = &starts;
    Rig rig({script});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    QSignalSpy codes(rig.control.get(), &CaptureDevice::statusCode);
    const QString path = dirs.file(QStringLiteral("Jane Doejump1.avi"));
    rig.control->setCaptureFileName(path);
    rig.control->setFrameRate(50);
    rig.control->setTimeLimit(1);
    ASSERT_EQ(rig.control->StartCapture(), std::nullopt);
    EXPECT_TRUE(rig.control->Capturing());

    const CaptureFailure again = rig.control->StartCapture();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->code, capture_error::kBusyRecording);
    EXPECT_EQ(rig.control->setVideoResolution(1)->code, capture_error::kBusyRecording);

    QTRY_VERIFY_WITH_TIMEOUT(!rig.control->Capturing(), 10000);
    EXPECT_EQ(starts.load(), 1);
    EXPECT_EQ(rig.control->FramesCaptured(), 50);
    EXPECT_EQ(rig.control->FramesDropped(), 0);
    EXPECT_EQ(rig.control->CaptureTimeMs(), 1000);
    QTRY_VERIFY(!codes.isEmpty() && codes.last().at(0).toInt() == capture_status::kStreamReady);
    EXPECT_EQ(codes.first().at(0).toInt(), capture_status::kStatistics);
    rig.control->StopCapture(); // a second stop does nothing
    rig.control->StopCapture();

    VideoDecoder::OpenFailure failure;
    auto decoder = VideoDecoder::open(path, &failure);
    ASSERT_TRUE(decoder) << failure.detail.toStdString();
    ASSERT_EQ(decoder->frameCount(), 50);
    const int first = test::readStamp(decoder->decodeFrame(0).value());
    for (int n = 0; n < 50; ++n)
        EXPECT_EQ(test::readStamp(decoder->decodeFrame(n).value()), first + n);
}

TEST(CaptureControl, AFullDiskEndsTheRecordingWithAWarningNamingTheFile)
{
    test::TestDirs dirs;
    Rig rig({camera()});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    QSignalSpy warnings(rig.control.get(), &CaptureDevice::warning);
    const QString path = dirs.file(QStringLiteral("full.avi"));
    rig.control->setCaptureFileName(path);
    rig.control->setVideoCompressor(compressor::kUncompressed);
    rig.control->setWriteLimitBytes(60 * 1024);
    ASSERT_EQ(rig.control->StartCapture(), std::nullopt);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.control->Capturing(), 10000);
    QTRY_COMPARE(warnings.size(), 1);
    EXPECT_EQ(warnings.first().at(0).toString(),
              QStringLiteral("The recording to %1 ended: No space left on device. The frames "
                             "written before are kept.")
                  .arg(path));
    auto decoder = VideoDecoder::open(path, nullptr);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->frameCount(), rig.control->FramesCaptured());
    EXPECT_GT(decoder->frameCount(), 2);
}

TEST(CaptureControl, ACameraThatVanishesEndsTheRecordingAndKeepsTheFile)
{
    test::TestDirs dirs;
    SyntheticCameraScript script = camera();
    script.endAfterFrames = 20;
    Rig rig({script});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    QSignalSpy warnings(rig.control.get(), &CaptureDevice::warning);
    QSignalSpy ends(rig.control.get(), &CaptureDevice::recordingEnded);
    const QString path = dirs.file(QStringLiteral("gone.avi"));
    rig.control->setCaptureFileName(path);
    ASSERT_EQ(rig.control->StartCapture(), std::nullopt);
    QTRY_COMPARE_WITH_TIMEOUT(warnings.size(), 1, 10000);
    // The recording's end is told as a fault, with the warning's words.
    ASSERT_EQ(ends.size(), 1);
    EXPECT_EQ(ends.first().at(0).value<RecordingEnd>(), RecordingEnd::Fault);
    EXPECT_EQ(ends.first().at(1).toString(), warnings.first().at(0).toString());
    EXPECT_EQ(warnings.first().at(0).toString(),
              QStringLiteral("Test camera stopped delivering pictures (the camera was unplugged); "
                             "the recording to %1 ended with the frames written before")
                  .arg(path));
    EXPECT_FALSE(rig.control->Capturing());
    EXPECT_FALSE(rig.control->Connected());
    auto decoder = VideoDecoder::open(path, nullptr);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->frameCount(), rig.control->FramesCaptured());
    EXPECT_GT(decoder->frameCount(), 0);
}

TEST(CaptureControl, DevicesComingAndGoingAreToldAndAPulledCameraDisconnects)
{
    Rig rig({camera()});
    QSignalSpy changes(rig.control.get(), &CaptureDevice::deviceListChanged);
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    SyntheticCameraScript second = camera();
    second.name = QStringLiteral("Second camera");
    rig.catalog->add(second.name, [second] { return test::makeSyntheticCamera(second); });
    EXPECT_EQ(rig.control->VideoDeviceIndex(), 0) << "the connected camera stays chosen";
    rig.catalog->remove(0);
    EXPECT_FALSE(rig.control->Connected());
    EXPECT_EQ(rig.control->VideoDeviceIndex(), 0);
    EXPECT_EQ(rig.control->VideoDeviceName(0), QStringLiteral("Second camera"));
    QTRY_COMPARE(changes.size(), 2);
    EXPECT_EQ(changes[0],
              (QList<QVariant>{kVideoSourcesCategory, 0, 1, QStringLiteral("Second camera")}));
    EXPECT_EQ(changes[1],
              (QList<QVariant>{kVideoSourcesCategory, 1, 0, QStringLiteral("Test camera")}));
}

TEST(CaptureControl, ThePreviewMailboxHoldsTheNewestPictureScaledToFit)
{
    std::atomic<int> delivered{0};
    SyntheticCameraScript script = camera();
    script.offers = test::offersOf(QStringLiteral("rgb24"), {QSize(640, 480)}, {25.0});
    script.delivered = &delivered;
    Rig rig({script});
    rig.control->setPreviewSize(QSize(320, 320));
    ASSERT_EQ(rig.control->setPreviewEnabled(true), std::nullopt);
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    QSignalSpy ready(rig.control.get(), &CaptureDevice::previewPictureReady);
    QTRY_VERIFY(!ready.isEmpty());
    // Not fetched: no further signal however many frames come.
    const int seen = delivered.load();
    QTRY_VERIFY(delivered.load() >= seen + 8);
    QCoreApplication::processEvents();
    EXPECT_EQ(ready.size(), 1);
    const QImage picture = rig.control->takePreviewPicture();
    EXPECT_EQ(picture.size(), QSize(320, 240));
    EXPECT_GE(test::readStamp(picture.scaled(640, 480)), 0);
    QTRY_COMPARE(ready.size(), 2);
}

// The live picture keeps up with the camera: every frame the screen has room for is made into
// a picture (none is skipped to save work), a Motion JPEG frame decoded at the reduced size
// the view shows.
TEST(CaptureControl, ThePreviewShowsEveryFrameAtTheViewsSize)
{
    std::atomic<int> delivered{0};
    SyntheticCameraScript script = camera({50.0});
    script.offers = test::offersOf(QStringLiteral("mjpeg"), {QSize(640, 480)}, {50.0});
    script.motionJpeg = true;
    script.delivered = &delivered;
    Rig rig({script});
    rig.control->setPreviewSize(QSize(160, 160));
    ASSERT_EQ(rig.control->setPreviewEnabled(true), std::nullopt);
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    // As the capture screen does: each picture fetched as soon as it is announced.
    int pictures = 0;
    QSize size;
    int lastStamp = -1;
    bool inOrder = true;
    QObject::connect(rig.control.get(), &CaptureDevice::previewPictureReady, [&] {
        const QImage picture = rig.control->takePreviewPicture();
        if (picture.isNull())
            return;
        ++pictures;
        size = picture.size();
        const int stamp = test::readStamp(picture.scaled(640, 480));
        inOrder = inOrder && stamp > lastStamp;
        lastStamp = stamp;
    });
    QTRY_VERIFY(pictures > 0);
    const int seenFrames = delivered.load();
    const int seenPictures = pictures;
    QTRY_VERIFY_WITH_TIMEOUT(delivered.load() >= seenFrames + 50, 10000);
    // A picture for nearly every frame (the old preview made one for every other at most).
    EXPECT_GE(pictures - seenPictures, 40);
    EXPECT_TRUE(inOrder) << "the newest first, never an older one after it";
    EXPECT_EQ(size, QSize(160, 120));
}

TEST(PreviewWorker, AMotionJpegPictureIsDecodedAtTheSmallestSizeNoSmallerThanShown)
{
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1920, 1080), QSize(960, 540), 3), 1);
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1920, 1080), QSize(962, 540), 3), 0);
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1280, 720), QSize(960, 540), 3), 0);
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1920, 1080), QSize(480, 270), 3), 2);
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1920, 1080), QSize(100, 56), 3), 3);
    EXPECT_EQ(PreviewWorker::lowresFor(QSize(1920, 1080), QSize(100, 56), 0), 0)
        << "a codec without lowres decodes whole";
}

TEST(CaptureControl, StillGrabsAreNumberedWithAutoIncrementAndShowTheChosenEffect)
{
    test::TestDirs dirs;
    Rig rig({camera()});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    const int grey = rig.control->FindEffect(kVideoEffectGroup, QStringLiteral("Grey"));
    ASSERT_GE(grey, 0);
    EXPECT_LT(rig.control->FindEffect(kVideoEffectGroup, QStringLiteral("Sepia")), 0);
    ASSERT_EQ(rig.control->SetEffect(kVideoEffectGroup, grey), std::nullopt);
    EXPECT_EQ(rig.control->CurrentEffect(), grey);

    rig.control->setStillFileName(dirs.file(QStringLiteral("still.bmp")));
    StillOptions options;
    options.autoIncrement = true;
    rig.control->setStillOptions(options);
    // The first frame may still be on its way.
    QTRY_VERIFY(!rig.control->GrabStill().has_value());
    ASSERT_EQ(rig.control->GrabStill(), std::nullopt);

    const QImage first(dirs.file(QStringLiteral("still0001.bmp")));
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(QFile::exists(dirs.file(QStringLiteral("still0002.bmp"))));
    EXPECT_FALSE(QFile::exists(dirs.file(QStringLiteral("still.bmp"))));
    EXPECT_EQ(first.size(), QSize(64, 48));
    EXPECT_GE(test::readStamp(first), 0);
    const QRgb pixel = first.pixel(40, 40); // below the stamp: the camera's coloured pattern
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qGreen(pixel), qBlue(pixel));

    rig.control->DisconnectDevice();
    const CaptureFailure unconnected = rig.control->GrabStill();
    ASSERT_TRUE(unconnected);
    EXPECT_EQ(unconnected->code, capture_error::kNotConnected);
}

// AutoSave writes a numbered still every Interval milliseconds while a camera is connected with
// its preview on, whichever of those comes last; it stops with the preview or the camera.
TEST(CaptureControl, AutoSaveWritesAStillEveryIntervalWhileThePreviewRuns)
{
    test::TestDirs dirs;
    Rig rig({camera()});
    StillOptions options;
    options.autoSave = true;
    options.autoIncrement = true;
    options.intervalMs = 150;
    rig.control->setStillFileName(dirs.file(QStringLiteral("auto.bmp")));
    rig.control->setStillOptions(options); // before there is a camera: waits for one
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 0);
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 0); // no preview yet
    ASSERT_EQ(rig.control->setPreviewEnabled(true), std::nullopt);
    ASSERT_EQ(rig.control->autoSaveIntervalMs(), 150);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dirs.file(QStringLiteral("auto0003.bmp"))), 10000);
    EXPECT_FALSE(QImage(dirs.file(QStringLiteral("auto0001.bmp"))).isNull());

    ASSERT_EQ(rig.control->setPreviewEnabled(false), std::nullopt);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 0);
    ASSERT_EQ(rig.control->setPreviewEnabled(true), std::nullopt);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 150);
    rig.control->DisconnectDevice();
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 0);

    // An Interval of 0 leaves AutoSave idle; a tiny one is held to the shortest interval.
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 150);
    options.intervalMs = 0;
    rig.control->setStillOptions(options);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), 0);
    options.intervalMs = 1;
    rig.control->setStillOptions(options);
    EXPECT_EQ(rig.control->autoSaveIntervalMs(), kShortestAutoSaveIntervalMs);
}

// A recording that ends at its time limit says so, once; one stopped by its caller says nothing.
TEST(CaptureControl, ARecordingThatReachesItsTimeLimitSaysSo)
{
    test::TestDirs dirs;
    Rig rig({camera()});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    QSignalSpy ends(rig.control.get(), &CaptureDevice::recordingEnded);
    rig.control->setFrameRate(50);
    rig.control->setCaptureFileName(dirs.file(QStringLiteral("stopped.avi")));
    ASSERT_EQ(rig.control->StartCapture(), std::nullopt);
    rig.control->StopCapture();

    rig.control->setCaptureFileName(dirs.file(QStringLiteral("limited.avi")));
    rig.control->setTimeLimitSeconds(0.3);
    ASSERT_EQ(rig.control->StartCapture(), std::nullopt);
    QTRY_COMPARE_WITH_TIMEOUT(ends.size(), 1, 10000);
    EXPECT_EQ(ends.first().at(0).value<RecordingEnd>(), RecordingEnd::TimeLimit);
    EXPECT_EQ(ends.first().at(1).toString(), QString());
    EXPECT_EQ(rig.control->FramesCaptured(), 15);

    QCoreApplication::processEvents();
    EXPECT_EQ(ends.size(), 1);
}

// The measure screen's picture is written where asked, plainly, beside whatever still options the
// operator set; no still grab, AutoSave's neither, writes over it.
TEST(CaptureControl, TheFramePictureIsWrittenWhereAskedAndNoStillGrabReplacesIt)
{
    test::TestDirs dirs;
    Rig rig({camera()});
    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    const QString still = dirs.file(QStringLiteral("still.bmp"));
    const QString picture = dirs.file(QStringLiteral("currentcapture.bmp"));
    StillOptions numbered;
    numbered.autoIncrement = true;
    rig.control->setStillOptions(numbered);
    rig.control->setStillFileName(still);
    QTRY_VERIFY(!rig.control->grabFramePicture(picture).has_value());
    EXPECT_FALSE(QImage(picture).isNull());
    EXPECT_FALSE(QFile::exists(dirs.file(QStringLiteral("currentcapture0001.bmp"))));
    EXPECT_EQ(rig.control->StillFileName(), still);
    const QByteArray taken = test::TestDirs::readFile(picture);

    QSignalSpy warnings(rig.control.get(), &CaptureDevice::warning);
    ASSERT_EQ(rig.control->setPreviewEnabled(true), std::nullopt);
    StillOptions autoSave;
    autoSave.autoSave = true;
    autoSave.intervalMs = 1;
    rig.control->setStillFileName(picture);
    rig.control->setStillOptions(autoSave);
    QTRY_COMPARE_WITH_TIMEOUT(warnings.size(), 1, 5000);
    EXPECT_EQ(warnings.first().at(0).toString(),
              QStringLiteral("AutoSave stopped: %1 is the picture the measure screen marks; "
                             "choose another still file name")
                  .arg(picture));
    EXPECT_EQ(test::TestDirs::readFile(picture), taken);
}

// The settings dialogs show what is set now and set it through the control's own rules.
TEST(CaptureControl, SettingsDialogsShowWhatIsSetAndSetIt)
{
    using namespace capture_dialog;
    Rig rig({camera()});
    EXPECT_FALSE(rig.control->HasDialog(kVideoSource)) << "no camera connected";
    EXPECT_TRUE(rig.control->HasDialog(kAudioFormat));
    EXPECT_TRUE(rig.control->HasDialog(kVideoCompression)) << "Motion JPEG has a quality";
    EXPECT_EQ(rig.control->setVideoCompressor(compressor::kFfv1), std::nullopt);
    EXPECT_FALSE(rig.control->HasDialog(kVideoCompression));
    EXPECT_TRUE(rig.control->DialogSettings(kVideoCompression).empty());

    ASSERT_EQ(rig.control->ConnectDevice(0), std::nullopt);
    ASSERT_TRUE(rig.control->HasDialog(kVideoSource + kEffectFlag));
    const std::vector<DeviceSetting> source = rig.control->DialogSettings(kVideoSource);
    ASSERT_EQ(source.size(), 1u);
    EXPECT_EQ(source[0].id, QStringLiteral("format"));
    EXPECT_TRUE(source[0].readOnly);
    EXPECT_EQ(source[0].menuItems,
              QStringList{QStringLiteral("RGB24, 64 x 48, 25 frames per second")});
    EXPECT_EQ(rig.control->setDialogSetting(kVideoSource, QStringLiteral("format"), 0)->code,
              capture_error::kBadValue);

    // H.264 adds its key-frame interval to the quality; values out of range are refused.
    EXPECT_EQ(rig.control->setVideoCompressor(compressor::kH264), std::nullopt);
    EXPECT_EQ(rig.control->setDialogSetting(kVideoCompression, QStringLiteral("quality"), 50),
              std::nullopt);
    const std::vector<DeviceSetting> compression = rig.control->DialogSettings(kVideoCompression);
    ASSERT_EQ(compression.size(), 2u);
    EXPECT_EQ(compression[0].value, 50);
    EXPECT_EQ(compression[1].id, QStringLiteral("keyFrameInterval"));
    EXPECT_EQ(compression[1].value, 10);
    const CaptureFailure tooLong =
        rig.control->setDialogSetting(kVideoCompression, QStringLiteral("keyFrameInterval"), 301);
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->description, QStringLiteral("keyFrameInterval cannot be set to 301"));

    // The sound format goes through the control's check of a whole format.
    EXPECT_EQ(rig.control->setDialogSetting(kAudioFormat, QStringLiteral("sampleRate"), 22050),
              std::nullopt);
    EXPECT_EQ(rig.control->setDialogSetting(kAudioFormat, QStringLiteral("channels"), 1),
              std::nullopt);
    EXPECT_EQ(rig.control->AudioSampleRate(), 22050);
    EXPECT_EQ(rig.control->AudioChannels(), 1);
    EXPECT_EQ(rig.control->DialogSettings(kAudioFormat)[0].value, 22050);
    EXPECT_EQ(
        rig.control->setDialogSetting(kAudioFormat, QStringLiteral("bitsPerSample"), 12)->code,
        capture_error::kBadValue);
    EXPECT_EQ(rig.control->AudioBitsPerSample(), 16);
    EXPECT_EQ(rig.control->setDialogSetting(kAudioFormat, QStringLiteral("volume"), 1)->code,
              capture_error::kBadValue);
}

} // namespace
} // namespace skelvin
