#include "core/common/Prompter.h"
#include "core/frames/VideoDecoder.h"
#include "core/frames/mmInfo.h"
#include "core/simulation/FrameNumberStrip.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// skelvin-tool capture PATH --simulated ARGS...
ToolRun captureSimulated(const QString &path, const QStringList &args)
{
    return runTool(QStringList{QStringLiteral("capture"), path, QStringLiteral("--simulated")} +
                   args);
}

} // namespace

TEST(CaptureTool, ThreeSecondsAt25FramesASecondHold75FramesNumbered0To74)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("Jane Doejump1.avi"));
    const ToolRun run = captureSimulated(path, {QStringLiteral("--rate"), QStringLiteral("25"),
                                                QStringLiteral("--seconds"), QStringLiteral("3"),
                                                QStringLiteral("--preview")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frames_captured")), QStringLiteral("75"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frames_dropped")), QStringLiteral("0"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("capture_time_ms")), QStringLiteral("3000"));
    EXPECT_GE(toolValue(run.out, QStringLiteral("preview_pictures")).toInt(), 3 * 15);

    ScriptedPrompter prompter;
    EXPECT_EQ(mmInfo::AviLength(path, prompter), 75);
    EXPECT_EQ(mmInfo::AviFrameRate(path, prompter), 25);
    VideoDecoder::OpenFailure failure;
    auto decoder = VideoDecoder::open(path, &failure);
    ASSERT_TRUE(decoder) << failure.detail.toStdString();
    ASSERT_EQ(decoder->frameCount(), 75);
    for (int n = 0; n < 75; ++n)
        EXPECT_EQ(readFrameNumberStrip(decoder->decodeFrame(n).value()), n);
    for (int n : {74, 3, 50, 0})
        EXPECT_EQ(readFrameNumberStrip(decoder->decodeFrame(n).value()), n) << "jump";
}

// --format picks the camera's pixel format by FFmpeg's name; a Motion JPEG camera recorded
// with Motion JPEG is written as it came.
TEST(CaptureTool, FormatPicksWhatTheCameraDeliversAndMotionJpegIsCopied)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("mjpeg.avi"));
    const ToolRun run = captureSimulated(
        path, {QStringLiteral("--format"), QStringLiteral("mjpeg"), QStringLiteral("--size"),
               QStringLiteral("1280x720"), QStringLiteral("--rate"), QStringLiteral("60"),
               QStringLiteral("--seconds"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(toolValue(run.out, QStringLiteral("format")), QStringLiteral("mjpeg"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("size")), QStringLiteral("1280x720"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frame_rate")), QStringLiteral("60"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("video_written")), QStringLiteral("copied"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frames_captured")), QStringLiteral("60"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frames_dropped")), QStringLiteral("0"));
    EXPECT_EQ(toolValue(run.out, QStringLiteral("frames_left_out_for_queue")), QStringLiteral("0"));
    auto decoder = VideoDecoder::open(path, nullptr);
    ASSERT_TRUE(decoder);
    ASSERT_EQ(decoder->frameCount(), 60);
    for (int n : {0, 1, 31, 59})
        EXPECT_EQ(readFrameNumberStrip(decoder->decodeFrame(n).value()), n);

    const ToolRun yuyv = captureSimulated(dirs.file(QStringLiteral("yuyv.avi")),
                                          {QStringLiteral("--format"), QStringLiteral("yuyv422"),
                                           QStringLiteral("--seconds"), QStringLiteral("0.5")});
    ASSERT_EQ(yuyv.exitCode, 0) << yuyv.err.toStdString();
    EXPECT_EQ(toolValue(yuyv.out, QStringLiteral("size")), QStringLiteral("640x480"));
    EXPECT_EQ(toolValue(yuyv.out, QStringLiteral("video_written")), QStringLiteral("encoded"));

    const ToolRun unknown = captureSimulated(dirs.file(QStringLiteral("x.avi")),
                                             {QStringLiteral("--format"), QStringLiteral("h264")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(
        QStringLiteral("Cannot use format h264: Simulated camera does not deliver h264")))
        << unknown.err.toStdString();
}

TEST(CaptureTool, TheLandingPointMeasuredThroughTheViewsGridIsTheSurveyedLanding)
{
    TestDirs dirs;
    const QString video = dirs.file(QStringLiteral("jump.avi"));
    const ToolRun run =
        captureSimulated(video, {QStringLiteral("--size"), QStringLiteral("1280x720"),
                                 QStringLiteral("--seconds"), QStringLiteral("0.5")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(toolValue(run.out, QStringLiteral("size")), QStringLiteral("1280x720"));

    // The grid an operator builds on this view, then the tool's landing point measured on it.
    const QString grid = dirs.file(QStringLiteral("view.ipt"));
    const ToolRun scene =
        runTool({QStringLiteral("scene"), QStringLiteral("--size"), QStringLiteral("1280x720"),
                 QStringLiteral("--write-grid"), grid});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
    const double x = toolValue(run.out, QStringLiteral("landing_x")).toDouble();
    const double y = toolValue(run.out, QStringLiteral("landing_y")).toDouble();
    const ToolRun measure =
        runTool({QStringLiteral("measure"), grid, QString::number(x * 15, 'g', 17),
                 QString::number(y * 15, 'g', 17)});
    ASSERT_EQ(measure.exitCode, 0) << measure.err.toStdString();
    EXPECT_NEAR(toolValue(measure.out, QStringLiteral("survey_x")).toDouble(),
                toolValue(run.out, QStringLiteral("landing_survey_x")).toDouble(), 0.01);
    EXPECT_NEAR(toolValue(measure.out, QStringLiteral("survey_y")).toDouble(),
                toolValue(run.out, QStringLiteral("landing_survey_y")).toDouble(), 0.01);
}

TEST(CaptureTool, ADeviceOrAFileThatCannotBeUsedExitsTwoWithTheReason)
{
    TestDirs dirs;
    const ToolRun noDevice = runTool({QStringLiteral("capture"), dirs.file(QStringLiteral("a.avi")),
                                      QStringLiteral("--device"), QStringLiteral("99")});
    EXPECT_EQ(noDevice.exitCode, 2);
    EXPECT_TRUE(noDevice.err.contains(
        QStringLiteral("Cannot open video device 99: There is no capture device 99")))
        << noDevice.err.toStdString();

    const QString unwritable = dirs.file(QStringLiteral("missing/folder/a.avi"));
    const ToolRun noFolder =
        runTool({QStringLiteral("capture"), unwritable, QStringLiteral("--simulated")});
    EXPECT_EQ(noFolder.exitCode, 2);
    EXPECT_TRUE(noFolder.err.contains(
        QStringLiteral("Cannot record to %1: No such file or directory").arg(unwritable)))
        << noFolder.err.toStdString();

    const ToolRun badLine = runTool({QStringLiteral("capture"), dirs.file(QStringLiteral("b.avi")),
                                     QStringLiteral("--compressor"), QStringLiteral("divx")});
    EXPECT_EQ(badLine.exitCode, 1);
}

TEST(CaptureTool, SoundIsInterleavedAsPcmBesideTheFrames)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("sound.avi"));
    const ToolRun run = captureSimulated(path, {QStringLiteral("--audio"), QStringLiteral("0"),
                                                QStringLiteral("--seconds"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // 44100 samples a second by default; the last block may reach past the stop.
    EXPECT_NEAR(toolValue(run.out, QStringLiteral("samples_captured")).toDouble(), 44100, 4410);
    auto decoder = VideoDecoder::open(path, nullptr);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->frameCount(), 30);
    EXPECT_EQ(readFrameNumberStrip(decoder->decodeFrame(29).value()), 29);
}

TEST(CaptureTool, DevicesListTheSimulatedCameraLastAndTheCompressors)
{
    const ToolRun run = runTool({QStringLiteral("devices")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral(
        ": Simulated camera\n  format rgb24 (RGB 24-bit) 640 x 480: 60 50 30 25 fps\n")))
        << run.out.toStdString();
    // Besides the raw formats, what a USB camera delivers, by FFmpeg's names.
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("  format bgr0 (BGRX 32-bit) 1920 x 1080: 60 50 30 25 fps\n"
                                        "  format mjpeg (Motion-JPEG) 1280 x 720: 60 50 30 25 fps\n"
                                        "  format mjpeg (Motion-JPEG) 1920 x 1080: 30 25 fps\n"
                                        "  format yuyv422 (YUYV 4:2:2) 640 x 480: 30 fps\n"
                                        "  format yuyv422 (YUYV 4:2:2) 1280 x 720: 10 fps\n")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("compressor -1: None\ncompressor 0: Motion JPEG\n"
                                                "compressor 1: FFV1 (lossless)\n"
                                                "compressor 2: H.264 (key frame every 10)\n")));
}
