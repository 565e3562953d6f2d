#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/grid_setup/GridSetupFile.h"
#include "support/TestDirs.h"
#include "support/TestGrids.h"
#include "support/ToolRunner.h"


#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

TEST(GridTool, MeasureSolveAndInverseAgreeWithTheCore)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("g.ipt"));
    const Grid g = perspectiveGrid();
    ASSERT_FALSE(writeGridSetupFile(path, g, 1));

    const ToolRun solve = runTool({QStringLiteral("solve"), path});
    ASSERT_EQ(solve.exitCode, 0) << solve.err.toStdString();
    EXPECT_EQ(toolValue(solve.out, QStringLiteral("c1")).toDouble(), g.transform(1));
    EXPECT_EQ(toolValue(solve.out, QStringLiteral("c8")).toDouble(), g.transform(8));

    for (const char *type : {"normal", "barefoot", "sitski"}) {
        const ToolRun m = runTool({QStringLiteral("measure"), path, QStringLiteral("6000"),
                                   QStringLiteral("4500"), QStringLiteral("--tournament"),
                                   QString::fromLatin1(type)});
        ASSERT_EQ(m.exitCode, 0) << m.err.toStdString();
        const TournamentType t = tournamentFromWord(QString::fromLatin1(type));
        // The stored transform went through the file's 15 digits; measure from what was read.
        const auto read = readGridSetupFile(path);
        const auto expected = *measureJump(read->transform, read->jump, t, {6000, 4500});
        EXPECT_EQ(toolValue(m.out, QStringLiteral("distance_m")).toDouble(), expected.distanceMetres);
        EXPECT_EQ(toolValue(m.out, QStringLiteral("survey_x")).toDouble(), expected.survey.x);
        const OfficialDistance official = officialDistance(expected.distanceMetres, t);
        EXPECT_EQ(toolValue(m.out, QStringLiteral("official_m")).toDouble(), official.metres);
        EXPECT_EQ(toolValue(m.out, QStringLiteral("official_ft")).toDouble(), official.feet);
        EXPECT_FALSE(toolValue(m.out, QStringLiteral("official_m")).startsWith(QLatin1Char(' ')));
    }

    const ToolRun inv = runTool({QStringLiteral("inverse"), path, QStringLiteral("40"), QStringLiteral("60")});
    ASSERT_EQ(inv.exitCode, 0);
    EXPECT_NEAR(toolValue(inv.out, QStringLiteral("screen_x")).toDouble(), 10200, 1e-6);
    EXPECT_NEAR(toolValue(inv.out, QStringLiteral("screen_y")).toDouble(), 1600, 1e-6);
}

TEST(GridTool, ShowTellsWhetherTheCheckBuoyValidatesAndRewriteIsByteExact)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("g.ipt"));
    const Grid g = perspectiveGrid();
    ASSERT_FALSE(writeGridSetupFile(path, g, 2));

    ToolRun show = runTool({QStringLiteral("grid"), QStringLiteral("show"), path});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_TRUE(show.out.contains(QStringLiteral("no check buoy file"))) << show.out.toStdString();

    const ScreenPoint at = *SurveyToScreen(g.transform, {20, 40});
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {at.x + 22, at.y}, QStringLiteral("20"), QStringLiteral("40")));
    show = runTool({QStringLiteral("grid"), QStringLiteral("show"), path});
    EXPECT_TRUE(show.out.contains(QStringLiteral("check buoy validates: yes"))) << show.out.toStdString();
    EXPECT_TRUE(show.out.contains(QStringLiteral("description: tool grid, west")));

    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {at.x + 23, at.y}, QStringLiteral("20"), QStringLiteral("40")));
    show = runTool({QStringLiteral("grid"), QStringLiteral("show"), path});
    EXPECT_TRUE(show.out.contains(QStringLiteral("check buoy validates: no"))) << show.out.toStdString();

    const QString out = dirs.file(QStringLiteral("copy.ipt"));
    ASSERT_EQ(runTool({QStringLiteral("grid"), QStringLiteral("rewrite"), path, out}).exitCode, 0);
    QByteArray original = TestDirs::readFile(path);
    original.replace(path.toUtf8(), out.toUtf8()); // line 1 names the path it was saved as
    EXPECT_EQ(TestDirs::readFile(out), original);
    EXPECT_EQ(TestDirs::readFile(out + QStringLiteral(".cb")), TestDirs::readFile(path + QStringLiteral(".cb")));
}

TEST(GridTool, BadFilesAndPointsGiveTheirExitCodes)
{
    TestDirs dirs;
    const QString bad = dirs.writeFile(QStringLiteral("bad.ipt"), "Initialization\r\nx\r\n 1 , 2\r\n");
    ToolRun r = runTool({QStringLiteral("measure"), bad, QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 3"))) << r.err.toStdString();
    EXPECT_EQ(runTool({QStringLiteral("solve"), dirs.file(QStringLiteral("none.ipt"))}).exitCode, 2);

    Grid flat = perspectiveGrid();
    for (CornerBuoy &c : flat.corners)
        c.screen.x = 0;
    flat.transform = GridTransform{};
    const QString flatPath = dirs.file(QStringLiteral("flat.ipt"));
    ASSERT_FALSE(writeGridSetupFile(flatPath, flat, 1));
    r = runTool({QStringLiteral("solve"), flatPath});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("No Unique Solution - Re-enter data"));

    const Grid g = perspectiveGrid();
    const QString path = dirs.file(QStringLiteral("g.ipt"));
    ASSERT_FALSE(writeGridSetupFile(path, g, 1));
    const double x = 1000;
    const double y = -(1 + g.transform(4) * x) / g.transform(5);
    // Points this close to the vanishing line may not hit w = 0 exactly after the file's
    // rounding; measure with the re-solved transform, which is the one y was computed from.
    r = runTool({QStringLiteral("measure"), path, QString::number(x, 'g', 17), QString::number(y, 'g', 17), QStringLiteral("--solve")});
    if (r.exitCode != 0) {
        EXPECT_EQ(r.exitCode, 4);
        EXPECT_EQ(r.err.trimmed(), QStringLiteral("no image"));
    }
    EXPECT_EQ(runTool({QStringLiteral("measure"), path, QStringLiteral("x"), QStringLiteral("1")}).exitCode, 1);
    EXPECT_EQ(runTool({QStringLiteral("frobnicate")}).exitCode, 1);
}
