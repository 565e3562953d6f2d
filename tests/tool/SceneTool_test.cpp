#include "core/common/Clock.h"
#include "core/common/PictureSize.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/SetupValidation.h"
#include "core/grid_setup/GridFileCommands.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;
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

    EXPECT_EQ(runTool({"scene", "--time", "-1"}).exitCode, 1);
}

// With a time, every point is where the camera of that moment sees it: a bumped camera has
// moved them all, and the picture saved is that moment's.
TEST(SceneTool, AtATimeThePointsAreWhereTheMovedCameraSeesThem)
{
    TestDirs dirs;
    const QString bumped =
        dirs.writeFile("bumped.ini", "[camera]\nbump_pan_deg=0.2\nbump_seconds=1\n");
    const ToolRun setUp = runTool({"scene", "--scene", bumped});
    const ToolRun early = runTool({"scene", "--scene", bumped, "--time", "0.5"});
    const ToolRun late = runTool({"scene", "--scene", bumped, "--time", "2", "--picture",
                                  dirs.file("late.png")});
    ASSERT_EQ(late.exitCode, 0) << late.err.toStdString();
    EXPECT_EQ(toolValue(early.out, "check_buoy_x"), toolValue(setUp.out, "check_buoy_x"));
    EXPECT_EQ(toolValue(late.out, "camera_pan_deg"), "0.20000000000000001");
    EXPECT_EQ(toolValue(late.out, "time_s"), "2");
    EXPECT_EQ(toolValue(late.out, "jump"), "yes");
    for (const char *name : {"upper_left_x", "lower_right_x", "check_buoy_x", "landing_x"})
        EXPECT_NEAR(toolValue(late.out, name).toDouble(), toolValue(setUp.out, name).toDouble() - 9.0,
                    1.5)
            << name;
    EXPECT_TRUE(QImage(dirs.file("late.png")).size() == QSize(1280, 720));
}

// The grid the tool writes for the default view is what an operator builds on it; Complete must
// take it as it is, without "Allow Invalid Setup" and without any warning (a field of view of
// 30 degrees or more, a grid or front narrower than 80 % of the picture would each be a prompt
// the scripted prompter refuses).
TEST(SceneTool, TheDefaultViewsGridPassesCompleteWithoutAllowingInvalidSetups)
{
    for (const QSize size : {QSize(1280, 720), QSize(1920, 1080)}) {
        TestDirs dirs;
        const QString path = dirs.file("default.ipt");
        const QString sizeText = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        const ToolRun scene = runTool({"scene", "--size", sizeText, "--write-grid", path});
        ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
        const Result<GridSetupFileData> file = readGridSetupFile(path);
        const Result<CheckBuoyFileData> checkBuoy = readCheckBuoyFile(checkBuoyFilePath(path));
        ASSERT_TRUE(file && checkBuoy);
        Grid grid;
        grid.fileName = path;
        grid.description = file->description;
        grid.corners = file->corners;
        grid.jump = file->jump;
        grid.checkBuoyScreen = checkBuoy->screen;
        grid.checkBuoySurvey = checkBuoy->survey;

        FixedClock clock(QDateTime(QDate(2026, 7, 4), QTime(10, 0, 0)));
        ScriptedPrompter prompter;
        DebugLog debugLog(dirs.paths(), clock, prompter);
        ResultsFile results(dirs.file("results.txt"), prompter);
        GridStore grids;
        SetupValidation validation(grids, debugLog, results, prompter, clock);
        const CompletionOutcome outcome = validation.complete(
            1, entryTextsOf(grid, true), pictureTwipsText(size.width()), false);
        EXPECT_EQ(outcome.end, CompletionEnd::Accepted) << sizeText.toStdString();
        EXPECT_TRUE(outcome.accepted);
        EXPECT_GE(outcome.ratios.front, 80.0);
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('\n').toStdString();
    }
}
