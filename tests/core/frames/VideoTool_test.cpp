#include "core/frames/FramePicture.h"

#include "RiffBytes.h"
#include "TestVideo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using namespace test;

class VideoToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestVideoRecipe recipe;
        recipe.codec = TestCodec::H264;
        recipe.frames = 20;
        m_video = m_dirs.file(QStringLiteral("Jane Doejump1.avi"));
        ASSERT_EQ(writeTestVideo(m_video, recipe), QString());
    }

    TestDirs m_dirs;
    QString m_video;
};

TEST_F(VideoToolTest, AviInfoPrintsTheLinesBrowseShows)
{
    const ToolRun run = runTool({"avi-info", m_video});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Filename: " + m_video +
                           "\nFile Type: AVI File\nHeight: 48\nWidth: 64\nLength: 20 frames\n"
                           "Rate: 30fps\n=== dwCaps ===\nCompressed: True\n"
                           "All Key Frames: False\nCan Read: True\nCan Write: True\n"
                           "=== dwFlags ===\nContains Copyright Info: False\n"
                           "Capture File: False\nHas Index: True\nMust Use Index: False\n"
                           "Interleaved: True\n");

    const QString wave =
        m_dirs.writeFile("sound.avi", riff("WAVE", chunk("fmt ", QByteArray(16, '\0'))));
    const ToolRun notAvi = runTool({"avi-info", wave});
    EXPECT_EQ(notAvi.exitCode, 2);
    EXPECT_EQ(notAvi.err, "Not a valid avi file\n");
    EXPECT_TRUE(notAvi.out.isEmpty());

    const QString missing = m_dirs.file("gone.avi");
    const ToolRun gone = runTool({"avi-info", missing});
    EXPECT_EQ(gone.exitCode, 2);
    EXPECT_EQ(gone.err, "File does not exist:\n" + missing + "\nNot a valid avi file\n");
}

TEST_F(VideoToolTest, FrameWritesThePictureFrameSelectionWrites)
{
    const QString toolPicture = m_dirs.file("tool.bmp");
    const ToolRun run = runTool({"frame", m_video, "17", toolPicture});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ScriptedPrompter prompter;
    const QString screenPicture = m_dirs.file("currentcapture.bmp");
    ASSERT_TRUE(writeFramePicture(m_video, 17, screenPicture, prompter));
    EXPECT_EQ(TestDirs::readFile(toolPicture), TestDirs::readFile(screenPicture));

    const ToolRun past = runTool({"frame", m_video, "20", toolPicture});
    EXPECT_EQ(past.exitCode, 2);
    EXPECT_EQ(past.err, "There was an error working with the file:\n" + m_video + "\n");
    EXPECT_EQ(runTool({"frame", m_video, "-1", toolPicture}).exitCode, 1);
}

TEST_F(VideoToolTest, StepReportsTheLatencyOfEveryStep)
{
    const ToolRun run = runTool(
        {"step", m_video, "--from", "15", "--count", "10", "--backward", "--interval", "5"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QRegularExpression shape(
        QStringLiteral("^median_ms=\\d+\\.\\d{3}\\np95_ms=\\d+\\.\\d{3}\\nframes=10\\n$"));
    EXPECT_TRUE(shape.match(run.out).hasMatch()) << run.out.toStdString();

    // Stepping stops at the end of the video.
    const ToolRun end =
        runTool({"step", m_video, "--from", "17", "--count", "10", "--interval", "1"});
    EXPECT_TRUE(end.out.endsWith("frames=2\n")) << end.out.toStdString();
    EXPECT_EQ(runTool({"step", m_video, "--count", "0"}).exitCode, 1);
}

} // namespace
} // namespace skelvin
