#include "core/frames/VideoDecoder.h"
#include "core/simulation/FrameNumberStrip.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// A scene file with the camera swaying and a landing of the given kind. The light is the usual
// one and the sensor quiet, so the simulated camera keeps up with 30 frames a second on a busy
// machine (its noise and light are drawn over every pixel of every frame).
QString writeScene(TestDirs &dirs, const QString &name, bool jump)
{
    const QString path = dirs.file(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[camera]\nsway_deg=0.15\nsway_period_s=6\n"
                              "[light]\nglints=0.3\n"
                              "[water]\nwhitecaps=0.1\n"
                              "[landing]\nx=48\ny=1.5\nseconds=1.8\nsplash=1\njump=%1\n")
                   .arg(jump ? QStringLiteral("yes") : QStringLiteral("no"))
                   .toUtf8());
    return path;
}

// A simulated jump recorded to an AVI (Motion JPEG, as the program records) is searched
// through the program's frame reader: the true first-contact frame and point. A pass without
// a jump recorded the same way gives none, and a file that is no video is refused.
TEST(ContactTool, FindsTheFirstContactInARecordedJumpAndNoneInAPass)
{
    TestDirs dirs;
    const QString scene = writeScene(dirs, QStringLiteral("jump.ini"), true);
    const QString grid = dirs.file(QStringLiteral("view.ipt"));
    const ToolRun built = runTool({"scene", "--scene", scene, "--write-grid", grid});
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();

    const QString video = dirs.file(QStringLiteral("jump.avi"));
    const ToolRun recorded = runTool({"capture", video, "--simulated", "--scene", scene, "--size",
                                      "1280x720", "--rate", "30", "--seconds", "2.6"});
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
    const ToolRun truth = runTool({"scene", "--scene", scene, "--time", "1.8"});
    ASSERT_EQ(truth.exitCode, 0) << truth.err.toStdString();

    // A frame the camera dropped keeps its slot and shows the picture before it: the first
    // slot that shows the contact is the first whose picture was taken at the landing frame or
    // after, by the number the simulated camera stamps on it.
    const int landingFrame = toolValue(recorded.out, "landing_frame").toInt();
    VideoDecoder::OpenFailure failure;
    const auto decoder = VideoDecoder::open(video, &failure);
    ASSERT_TRUE(decoder) << failure.detail.toStdString();
    int firstShowing = 0;
    while (firstShowing < decoder->frameCount() &&
           readFrameNumberStrip(decoder->decodeFrame(firstShowing).value()) < landingFrame)
        ++firstShowing;

    const ToolRun found = runTool({"contact", video, grid});
    ASSERT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(toolValue(found.out, "contact_frame").toInt(), firstShowing)
        << found.out.toStdString();
    const double dx = toolValue(found.out, "contact_x").toDouble() -
                      toolValue(truth.out, "landing_x").toDouble();
    const double dy = toolValue(found.out, "contact_y").toDouble() -
                      toolValue(truth.out, "landing_y").toDouble();
    EXPECT_LT(std::hypot(dx, dy), 3.0) << found.out.toStdString();
    EXPECT_GT(toolValue(found.out, "search_ms").toDouble(), 0.0);

    const QString passScene = writeScene(dirs, QStringLiteral("pass.ini"), false);
    const QString pass = dirs.file(QStringLiteral("pass.avi"));
    ASSERT_EQ(runTool({"capture", pass, "--simulated", "--scene", passScene, "--size", "1280x720",
                       "--rate", "30", "--seconds", "2.6"})
                  .exitCode,
              0);
    const ToolRun none = runTool({"contact", pass, grid});
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    EXPECT_EQ(toolValue(none.out, "contact_frame"), QStringLiteral("none"));
    EXPECT_FALSE(toolValue(none.out, "reason").isEmpty());
    EXPECT_EQ(toolValue(none.out, "contact_x"), QStringLiteral("none"));

    const ToolRun notVideo = runTool({"contact", grid, grid});
    EXPECT_EQ(notVideo.exitCode, 2);
    EXPECT_TRUE(notVideo.err.contains(QStringLiteral("Cannot search"))) << notVideo.err.toStdString();
    EXPECT_EQ(runTool({"contact", video}).exitCode, 1);
}

} // namespace
