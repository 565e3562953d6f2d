#include "core/grid_setup/GridSetupFile.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::TestDirs;

namespace {

struct AccuracyToolRun
{
    int exitCode;
    QStringList out;
    QString err;
};

AccuracyToolRun runAccuracy(const QStringList &args, const QString &workingDir)
{
    const skelvin::test::ToolRun run =
        skelvin::test::runTool(QStringList{QStringLiteral("accuracy")} + args, workingDir);
    return {run.exitCode, run.out.split(QLatin1Char('\n')), run.err};
}

// A grid seen square on (c5 = 0) or in perspective (c5 > 0: the back rows lie farther away),
// corners at x 1200 and 10800, y 1500 and 8000, saved as grid 3 with its check buoy.
QString writeGrid(const TestDirs &dirs, const QString &name, double scale, double c5,
                  SurveyPoint jump)
{
    Grid g;
    g.description = QStringLiteral("coarse camera");
    g.transform.c = {0, scale, 0, 0, c5, 0, 0, scale};
    const auto corner = [&](double x, double y) {
        return CornerBuoy{{x, y}, {scale * x / (1 + c5 * y), scale * y / (1 + c5 * y)}};
    };
    g.corners = {corner(10800, 1500), corner(10800, 8000), corner(1200, 1500), corner(1200, 8000)};
    g.jump = jump;
    const QString path = dirs.file(name);
    EXPECT_FALSE(writeGridSetupFile(path, g, 3));
    EXPECT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {6000, 4500}, QStringLiteral("300"),
                                    QStringLiteral("225")));
    return path;
}

} // namespace

TEST(AccuracyTool, PrintsTheGradesRowByRowAndTheReportWithoutWritingIt)
{
    TestDirs dirs;
    // 0.05 m per twip with the jump on the picture line of the fourth row, left of the grid.
    const QString path = writeGrid(dirs, QStringLiteral("coarse.ipt"), 0.05, 0, {0, 4750 * 0.05});
    const QString work = dirs.file(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(work));

    const AccuracyToolRun run = runAccuracy({path, QStringLiteral("--tournament"), QStringLiteral("barefoot")}, work);

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const qsizetype top = run.out.indexOf(QStringLiteral("grades, line 1 (back) to line 7 (front), points left to right:"));
    ASSERT_GE(top, 0);
    EXPECT_EQ(run.out[top + 4], QStringLiteral("line 4: NH NH NH NH NH NH NH"));

    const qsizetype report = run.out.indexOf(QStringLiteral("report lines:"));
    ASSERT_GT(report, top);
    EXPECT_TRUE(run.out[report + 1].endsWith(QStringLiteral(" Accuracy Check")));
    EXPECT_EQ(run.out[report + 3], path);
    EXPECT_EQ(run.out[report + 4], QStringLiteral("coarse camera"));
    EXPECT_EQ(run.out[report + 5], QStringLiteral("Grid Number:  3 "));
    EXPECT_EQ(run.out[report + 7], QStringLiteral("Front Ratio:  80"));
    EXPECT_EQ(run.out.filter(QStringLiteral("xpix: ")).size(), 49);
    // Barefoot: no correction; the middle row's left point is 60 m from the jump.
    EXPECT_TRUE(run.out.contains(QStringLiteral("xpix:  1200  ypix:  4750  x:  60  y:  238.25  distance:  60  v inc:  60  h inc:  60.75  delta:  .75")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("Accuracy Check Complete")));
    EXPECT_TRUE(QDir(work).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(dirs.root()).entryList({QStringLiteral("acc*")}).isEmpty());
}

TEST(AccuracyTool, GradesRunFromTheBackLineToTheFrontLine)
{
    TestDirs dirs;
    // Three times farther away at the back than at the front, the jump off to the left.
    const QString path = writeGrid(dirs, QStringLiteral("far.ipt"), 0.03, 1.0 / 1500, {-20, 40});

    const AccuracyToolRun run = runAccuracy({path}, dirs.root());

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const qsizetype top = run.out.indexOf(QStringLiteral("grades, line 1 (back) to line 7 (front), points left to right:"));
    ASSERT_GE(top, 0);
    EXPECT_EQ(run.out.mid(top + 1, 7),
              (QStringList{"line 1: NH NH NH NH NH NH NH", "line 2: C  C  C  NH NH NH NH",
                           "line 3: L  L  L  C  C  NH NH", "line 4: L  L  L  L  L  C  C",
                           "line 5: R  R  R  R  R  L  L", "line 6: R  R  R  R  R  R  L",
                           "line 7: R  R  R  R  R  R  R"}));
}

TEST(AccuracyTool, RefusesWhatItCannotGrade)
{
    TestDirs dirs;
    const QString path = writeGrid(dirs, QStringLiteral("g.ipt"), 0.05, 0, {0, 0});
    EXPECT_EQ(runAccuracy({path, QStringLiteral("--tournament"), QStringLiteral("slalom")}, dirs.root()).exitCode, 1);
    EXPECT_EQ(runAccuracy({dirs.file(QStringLiteral("missing.ipt"))}, dirs.root()).exitCode, 2);

    // A grid saved before it was completed has an all-zero transform: nothing to grade.
    Grid unsolved;
    const QString zero = dirs.file(QStringLiteral("zero.ipt"));
    ASSERT_FALSE(writeGridSetupFile(zero, unsolved, 1));
    const AccuracyToolRun run = runAccuracy({zero}, dirs.root());
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no transform"))) << run.err.toStdString();
}
