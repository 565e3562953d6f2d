#include "core/geometry/AccuracyCheck.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/geometry/AccuracyReport.h"
#include "core/geometry/GridStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

namespace {

// A camera square on to the water at a pure scale (metres per twip on both axes): back line at
// y 1500, front line at y 8000, left edge at x 1200, right edge at x 10800.
GridEntryTexts scaleTexts(double scale, SurveyPoint jump)
{
    GridEntryTexts t;
    auto set = [scale](QString &sx, QString &sy, QString &vx, QString &vy, double x, double y) {
        sx = CStr(x), sy = CStr(y), vx = CStr(x * scale), vy = CStr(y * scale);
    };
    set(t.upper_left_x, t.upper_left_y, t.ul_survey_x, t.ul_survey_y, 1200, 1500);
    set(t.upper_right_x, t.upper_right_y, t.ur_survey_x, t.ur_survey_y, 10800, 1500);
    set(t.lower_left_x, t.lower_left_y, t.ll_survey_x, t.ll_survey_y, 1200, 8000);
    set(t.lower_right_x, t.lower_right_y, t.lr_survey_x, t.lr_survey_y, 10800, 8000);
    t.jump_x = CStr(jump.x);
    t.jump_y = CStr(jump.y);
    t.txtCheckXpix = QStringLiteral("6000");
    t.txtCheckYpix = QStringLiteral("4500");
    t.txtCheckX = QStringLiteral("30.00"); // as typed, trailing zeros and all
    t.txtCheckY = QStringLiteral("22.50");
    t.ipt_file_description = QStringLiteral("/grids/lake.ipt");
    t.ipt_file_description_2 = QStringLiteral("North camera");
    return t;
}

QStringList fileLines(const QString &path)
{
    QString text = QString::fromUtf8(TestDirs::readFile(path));
    text.chop(2); // the last CR LF
    return text.split(QStringLiteral("\r\n"));
}

class AccuracyCheckTest : public ::testing::Test
{
protected:
    // Makes the active grid a pure scale with its jump, and the request show it.
    void useScale(double scale, SurveyPoint jump)
    {
        grids.active().transform.c = {0, scale, 0, 0, 0, 0, 0, scale};
        grids.active().checkBuoyScreen = {6000, 4500};
        grids.setActiveJump(jump);
        request.texts = scaleTexts(scale, jump);
    }

    TestDirs dirs;
    FixedClock clock{QDateTime(QDate(2024, 7, 14), QTime(9, 5, 3))};
    ScriptedPrompter prompter;
    GridStore grids;
    AccuracyCheck check{grids, prompter, clock};
    AccuracyRequest request = [this] {
        AccuracyRequest r;
        r.gridNumber = 2;
        r.videoDirectory = dirs.root();
        return r;
    }();
};

TEST(AccuracyGrade, BoundariesBelongToTheBetterGrade)
{
    EXPECT_EQ(accuracyGrade(0), QStringLiteral("R"));
    EXPECT_EQ(accuracyGrade(0.1), QStringLiteral("R"));
    EXPECT_EQ(accuracyGrade(std::nextafter(0.1, 1.0)), QStringLiteral("L"));
    EXPECT_EQ(accuracyGrade(0.15), QStringLiteral("L"));
    EXPECT_EQ(accuracyGrade(std::nextafter(0.15, 1.0)), QStringLiteral("C"));
    EXPECT_EQ(accuracyGrade(0.2), QStringLiteral("C"));
    EXPECT_EQ(accuracyGrade(std::nextafter(0.2, 1.0)), QStringLiteral("NH"));
}

TEST(AccuracyLattice, RunsLinearlyOnThePictureAndKeepsTheCorners)
{
    const auto p = accuracyLattice({1000, 1000}, {9400, 1300}, {100, 7000}, {11000, 7600});
    auto at = [&](int i, int j) { return p[static_cast<size_t>(i * 7 + j)]; };
    EXPECT_EQ(at(0, 0).x, 1000);
    EXPECT_EQ(at(6, 0).y, 1300);
    EXPECT_EQ(at(0, 6).x, 100);
    EXPECT_EQ(at(6, 6).x, 11000);
    EXPECT_EQ(at(6, 6).y, 7600);
    EXPECT_DOUBLE_EQ(at(0, 3).x, 550);  // half way down the left edge
    EXPECT_DOUBLE_EQ(at(6, 3).y, 4450); // half way down the right edge
    EXPECT_DOUBLE_EQ(at(3, 3).x, (550 + 10200) / 2.0);
    EXPECT_DOUBLE_EQ(at(2, 1).y, 2000 + (2350 - 2000) * 2 / 6.0);
}

TEST_F(AccuracyCheckTest, FineScaleGradesEveryPointRAndTheStandardModeWaitsForALine)
{
    useScale(0.005, {30, -10});
    request.display = AccuracyDisplay::Distance; // the standard mode shows grades regardless

    const AccuracyRun run = check.run(request);

    ASSERT_TRUE(run.measured()) << prompter.texts().join('|').toStdString();
    EXPECT_TRUE(run.asksForLine());
    EXPECT_EQ(run.display, AccuracyDisplay::HomologationLevel);
    for (const AccuracyPoint &p : run.points) {
        EXPECT_LE(p.deltaMetres, 0.075 + 1e-12) << p.index();
        const AccuracyIndicatorState &s = run.indicators[static_cast<size_t>(p.index())];
        EXPECT_EQ(s.caption, QStringLiteral("R"));
        EXPECT_FALSE(s.visible);
        EXPECT_EQ(s.topLeft.y, p.screen.y + 75);
    }
    // Row 4 (line 4) drawn across the middle, its number right of and above its right end.
    const AccuracyLineGuide &g = run.lineGuides[3];
    EXPECT_EQ(g.caption, QStringLiteral("4"));
    EXPECT_EQ(g.from.x, 1200);
    EXPECT_EQ(g.to.x, 10800);
    EXPECT_EQ(g.to.y, 4750);
    EXPECT_EQ(g.labelTopLeft.x, 10830);
    EXPECT_EQ(g.labelTopLeft.y, 4660);
}

TEST_F(AccuracyCheckTest, CoarseScaleOnTheJumpsPictureLineIsNotHomologable)
{
    // The jump lies on the middle row's picture line, left of the grid: one pixel right moves
    // every point of that row 0.75 m further away.
    useScale(0.05, {0, 0.05 * 4750});
    request.mode = AccuracyMode::Advanced;
    request.display = AccuracyDisplay::Detail;
    request.tournamentType = TournamentType::SitSki;

    const AccuracyRun run = check.run(request);

    ASSERT_TRUE(run.measured());
    for (int i = 0; i < 7; ++i) {
        const AccuracyPoint &p = run.points[static_cast<size_t>(i * 7 + 3)];
        EXPECT_NEAR(p.deltaMetres, 0.75, 1e-9);
        EXPECT_EQ(accuracyGrade(p.deltaMetres), QStringLiteral("NH"));
        EXPECT_EQ(run.indicators[static_cast<size_t>(p.index())].caption, QStringLiteral(" .75"));
        EXPECT_TRUE(run.indicators[static_cast<size_t>(p.index())].visible);
    }
    // The distance option shows the corrected distance to 0.1 m: 60 m + 1.9 m at the left end.
    request.display = AccuracyDisplay::Distance;
    const AccuracyRun distances = measureAccuracy(grids, request, {}, {});
    EXPECT_EQ(distances.indicators[3].caption, QStringLiteral(" 61.9"));
    EXPECT_EQ(distances.indicators[3].topLeft.x, 1200);
}

TEST_F(AccuracyCheckTest, LinePromptAsksUntilALineNumberAndShowsThatRowOnly)
{
    prompter.type(QStringLiteral("0")).type(QStringLiteral("8")).type(QString()).type(QStringLiteral("4"));

    ASSERT_EQ(check.askSkierPathLine(), 4);

    ASSERT_EQ(prompter.prompts().size(), 4);
    for (const auto &prompt : prompter.prompts()) {
        EXPECT_EQ(prompt.text, QStringLiteral("Pick the line number that best represents where the skier will land"));
        EXPECT_EQ(prompt.title, QStringLiteral("Input the skier path line"));
    }
    useScale(0.005, {30, -10});
    const AccuracyIndicators shown = check.run(request).indicatorsShowingLine(4);
    for (int k = 0; k < kAccuracyPointCount; ++k)
        EXPECT_EQ(shown[static_cast<size_t>(k)].visible, k % 7 == 3) << k;

    prompter.cancelInput();
    EXPECT_EQ(check.askSkierPathLine(), std::nullopt);
}

TEST_F(AccuracyCheckTest, ReportBlockIsAppendedPerRunToTheDaysFile)
{
    useScale(0.005, {30, -10});
    ASSERT_TRUE(check.run(request).measured());
    ASSERT_TRUE(check.run(request).measured());

    const QString path = dirs.file(QStringLiteral("acc0714.txt"));
    const QStringList lines = fileLines(path);
    const qsizetype block = 8 + 17 + 49 + 2;
    ASSERT_EQ(lines.size(), 2 * block);
    EXPECT_EQ(lines.mid(0, block), lines.mid(block));
    const QString blank = QStringLiteral(" ");
    EXPECT_EQ(lines.mid(0, 14),
              (QStringList{"07-14-2024  09:05:03 Accuracy Check", "Grid Set-up for accuracy check",
                           "/grids/lake.ipt", "North camera", "Grid Number:  2 ", blank,
                           "Front Ratio:  80", "Back Ratio:  80",
                           "Upper Left X,Y Pixels: 1200  1500", "Upper Left X,Y Survey: 6  7.5",
                           blank, "Lower Left X,Y Pixels: 1200  8000",
                           "Lower Left X,Y Survey: 6  40", blank}));
    EXPECT_EQ(lines.mid(20, 5), (QStringList{"Jump X,Y Survey: 30  -10", blank,
                                             "Check Buoy X,Y Pixels:  6000    4500 ",
                                             "Check Buoy X,Y Survey: 30.00  22.50", blank}));
    // Lattice order: down the left column first.
    EXPECT_TRUE(lines[25].startsWith(QStringLiteral("xpix:  1200  ypix:  1500  x:  6  y: ")));
    EXPECT_TRUE(lines[26].startsWith(QStringLiteral("xpix:  1200  ypix:  2583  x:  6  y: ")));
    EXPECT_EQ(lines.mid(block - 2, 2), (QStringList{"Accuracy Check Complete", QString()}));
}

TEST_F(AccuracyCheckTest, ReportPointLineRoundsToHundredthsWithTheSignBlank)
{
    useScale(0.004, {4.8, -10});
    const AccuracyRun run = measureAccuracy(grids, request, {}, {});
    EXPECT_EQ(accuracyReportPointLine(run.points[0]),
              QStringLiteral("xpix:  1200  ypix:  1500  x:  4.8  y:  6.06  distance:  18.1  "
                             "v inc:  18.16  h inc:  18.1  delta:  .06"));
}

TEST_F(AccuracyCheckTest, UnwritableReportStopsTheCheckAndNamesThePath)
{
    useScale(0.005, {30, -10});
    request.videoDirectory = dirs.file(QStringLiteral("no such folder"));
    prompter.answer(Answer::Ok);

    const AccuracyRun run = check.run(request);

    EXPECT_EQ(run.end, AccuracyEnd::ReportNotWritten);
    EXPECT_FALSE(run.asksForLine());
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(prompter.prompts()[0].text.contains(request.videoDirectory + "/acc0714.txt"))
        << prompter.prompts()[0].text.toStdString();
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Critical);
}

TEST_F(AccuracyCheckTest, GridWithoutTransformIsNotGradedAtAll)
{
    useScale(0.005, {30, -10});
    grids.active().transform = GridTransform{}; // saved before it was completed
    prompter.answer(Answer::Ok);

    EXPECT_EQ(check.run(request).end, AccuracyEnd::NoTransform);
    EXPECT_EQ(prompter.prompts().size(), 1);
    EXPECT_FALSE(QFile::exists(dirs.file(QStringLiteral("acc0714.txt"))));
}

TEST_F(AccuracyCheckTest, PointsOnTheVanishingLineSayNoImageAndNeverNaN)
{
    // w = 1 - y / 4750 is zero on the middle row; the rows next to it map very far away.
    useScale(0.005, {30, -10});
    grids.active().transform.c[4] = -1.0 / 4750;
    request.mode = AccuracyMode::Advanced;

    for (AccuracyDisplay display : {AccuracyDisplay::Distance, AccuracyDisplay::Detail,
                                    AccuracyDisplay::HomologationLevel}) {
        request.display = display;
        const AccuracyRun run = check.run(request);
        ASSERT_TRUE(run.measured());
        EXPECT_FALSE(run.points[3].hasImage);
        EXPECT_EQ(run.indicators[3].caption, QStringLiteral("no image"));
        for (const AccuracyIndicatorState &s : run.indicators)
            EXPECT_FALSE(s.caption.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
    }
    const QStringList lines = fileLines(dirs.file(QStringLiteral("acc0714.txt")));
    EXPECT_TRUE(lines.contains(QStringLiteral("xpix:  1200  ypix:  4750  no image")));
    for (const QString &line : lines)
        EXPECT_FALSE(line.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) << line.toStdString();
}

} // namespace
