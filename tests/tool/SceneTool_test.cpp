#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin::test;

namespace {

// Builds the grid of the view, marks the landing point where it shows and measures it.
void expectGridMeasuresTheTrueLanding(const QStringList &sceneArgs, const QString &grid)
{
    const ToolRun scene =
        runTool(QStringList{"scene"} + sceneArgs + QStringList{"--write-grid", grid});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
    const double x = toolValue(scene.out, "landing_x").toDouble() * 15.0;
    const double y = toolValue(scene.out, "landing_y").toDouble() * 15.0;
    const double trueDistance = toolValue(scene.out, "landing_distance_m").toDouble();
    ASSERT_GT(trueDistance, 20.0);

    const ToolRun measure =
        runTool({"measure", grid, QString::number(x, 'g', 17), QString::number(y, 'g', 17)});
    ASSERT_EQ(measure.exitCode, 0) << measure.err.toStdString();
    // A normal tournament adds 2.1 m to the distance from the jump.
    EXPECT_NEAR(toolValue(measure.out, "distance_m").toDouble() - 2.1, trueDistance, 0.05);
    EXPECT_NEAR(toolValue(measure.out, "survey_x").toDouble(),
                toolValue(scene.out, "landing_survey_x").toDouble(), 0.05);
    EXPECT_NEAR(toolValue(measure.out, "survey_y").toDouble(),
                toolValue(scene.out, "landing_survey_y").toDouble(), 0.05);

    const ToolRun show = runTool({"grid", "show", grid});
    EXPECT_TRUE(show.out.contains("check buoy validates: yes")) << show.out.toStdString();
}

} // namespace

TEST(SceneTool, GridOfTheViewMeasuresTheTrueLandingDistance)
{
    TestDirs dirs;
    expectGridMeasuresTheTrueLanding({}, dirs.file("default.ipt"));
    EXPECT_TRUE(QFile::exists(dirs.file("default.ipt.cb")));

    const QString scene = dirs.writeFile("far.ini", "[camera]\n"
                                                    "x=40\n"
                                                    "y=-95\n"
                                                    "height=12\n"
                                                    "aim_x=45\n"
                                                    "aim_y=0\n"
                                                    "horizontal_fov=38\n"
                                                    "[landing]\n"
                                                    "x=63.4\n"
                                                    "y=-2.2\n");
    expectGridMeasuresTheTrueLanding({"--scene", scene, "--size", "1920x1080"},
                                     dirs.file("far.ipt"));
}

TEST(SceneTool, PrintsEveryPointAndTellsBadInput)
{
    TestDirs dirs;
    const ToolRun scene = runTool({"scene", "--size", "640x480"});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
    for (const char *name : {"upper_left", "upper_right", "lower_left", "lower_right", "check_buoy",
                             "jump", "landing"})
        for (const char *suffix : {"_x", "_y", "_survey_x", "_survey_y"})
            EXPECT_NE(toolValue(scene.out, QString::fromLatin1(name) + suffix), "<missing>")
                << name << suffix;
    EXPECT_EQ(toolValue(scene.out, "upper_right_survey_x"), "75");
    EXPECT_EQ(toolValue(scene.out, "landing_seconds"), "2");

    EXPECT_EQ(runTool({"scene", "--size", "big"}).exitCode, 1);
    EXPECT_EQ(runTool({"scene", "--scene", dirs.file("missing.ini")}).exitCode, 2);

    const QString bad = dirs.writeFile("bad.ini", "[landing]\nseconds=soon\n");
    const ToolRun told = runTool({"scene", "--scene", bad});
    EXPECT_EQ(told.exitCode, 2);
    EXPECT_TRUE(told.err.contains(" line 2: landing/seconds = \"soon\" is not a number"))
        << told.err.toStdString();
    EXPECT_EQ(toolValue(told.out, "landing_seconds"), "2"); // the default is kept
}
