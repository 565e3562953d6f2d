#include "core/grid_setup/GridSetupFile.h"
#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <array>

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

// The map counts the pixels inside the four corner buoys: x 80 to 719 and y 100 to 533 of the
// picture (the corners at 1200 and 10800 twips across, 1500 and 8000 down), 640 x 434 pixels.
TEST(AccuracyMapTool, CountsEveryPixelInsideTheCornersByGradeAndWritesThePicture)
{
    TestDirs dirs;
    constexpr qint64 inside = 640 * 434;
    const auto counts = [](const skelvin::test::ToolRun &run) {
        std::array<qint64, 4> c{};
        const char *keys[] = {"R", "L", "C", "NH"};
        for (size_t i = 0; i < c.size(); ++i)
            c[i] = skelvin::test::toolValue(run.out, QString::fromLatin1(keys[i])).toLongLong();
        return c;
    };

    // 0.005 m a twip: at most 0.075 m a pixel, all "R"; 0.05 m a twip: at least 0.53, all "NH".
    const QString fine = writeGrid(dirs, QStringLiteral("fine.ipt"), 0.005, 0, {0, 0});
    const QString png = dirs.file(QStringLiteral("fine.png"));
    const skelvin::test::ToolRun fineRun =
        skelvin::test::runTool({QStringLiteral("accuracy-map"), fine, png, QStringLiteral("--size"), QStringLiteral("800x600")});
    ASSERT_EQ(fineRun.exitCode, 0) << fineRun.err.toStdString();
    EXPECT_EQ(counts(fineRun), (std::array<qint64, 4>{inside, 0, 0, 0}));
    const QImage picture(png);
    ASSERT_EQ(picture.size(), QSize(800, 600));
    const QColor r = picture.pixelColor(400, 300);
    EXPECT_GT(r.green(), r.red() + 40); // "R" is green, laid over the dark ground
    EXPECT_EQ(picture.pixelColor(790, 10), QColor(32, 36, 40)); // outside: the ground alone

    const QString coarse = writeGrid(dirs, QStringLiteral("coarse.ipt"), 0.05, 0, {0, 0});
    EXPECT_EQ(counts(skelvin::test::runTool({QStringLiteral("accuracy-map"), coarse, dirs.file(QStringLiteral("c.png"))})),
              (std::array<qint64, 4>{0, 0, 0, inside}));

    // Seen in perspective every grade shows, back worse than front, and every pixel is counted.
    const QString far = writeGrid(dirs, QStringLiteral("far.ipt"), 0.03, 1.0 / 1500, {-20, 40});
    const auto mixed = counts(skelvin::test::runTool({QStringLiteral("accuracy-map"), far, dirs.file(QStringLiteral("far.png"))}));
    EXPECT_EQ(mixed[0] + mixed[1] + mixed[2] + mixed[3], inside);
    for (qint64 n : mixed)
        EXPECT_GT(n, 0);

    // Wrong sizes, a grid without a transform, a file that cannot be written.
    const auto exitOf = [&](const QStringList &args) {
        return skelvin::test::runTool(QStringList{QStringLiteral("accuracy-map")} + args).exitCode;
    };
    EXPECT_EQ(exitOf({fine, png, QStringLiteral("--size"), QStringLiteral("20000x20000")}), 1);
    EXPECT_EQ(exitOf({fine, png, QStringLiteral("--size"), QStringLiteral("8x8")}), 1);
    EXPECT_EQ(exitOf({fine}), 1);
    const QString zero = dirs.file(QStringLiteral("zero.ipt"));
    ASSERT_FALSE(writeGridSetupFile(zero, Grid(), 1));
    EXPECT_EQ(exitOf({zero, png}), 3);
    EXPECT_EQ(exitOf({fine, dirs.file(QStringLiteral("no/such/folder/map.png"))}), 2);
}
