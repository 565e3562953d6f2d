#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/geometry/FieldOfView.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/SetupValidation.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

namespace {

const QString kNotAll = QStringLiteral("Warning - Not all parameters have been set up on grid");
const QString kAllowed = QStringLiteral("Invalid Configurations allowed for test");

// A camera square on to the water, 200 twips to the metre on both axes: back edge at y 1500,
// front edge at y 8000, check buoy marked at (6000, 4500) and surveyed at (30, 22.5).
GridEntryTexts squareView(double ulX, double urX, double llX, double lrX)
{
    GridEntryTexts t;
    auto set = [](QString &sx, QString &sy, QString &vx, QString &vy, double x, double y) {
        sx = CStr(x), sy = CStr(y), vx = CStr(x / 200), vy = CStr(y / 200);
    };
    set(t.upper_left_x, t.upper_left_y, t.ul_survey_x, t.ul_survey_y, ulX, 1500);
    set(t.upper_right_x, t.upper_right_y, t.ur_survey_x, t.ur_survey_y, urX, 1500);
    set(t.lower_left_x, t.lower_left_y, t.ll_survey_x, t.ll_survey_y, llX, 8000);
    set(t.lower_right_x, t.lower_right_y, t.lr_survey_x, t.lr_survey_y, lrX, 8000);
    t.jump_x = QStringLiteral("30");
    t.jump_y = QStringLiteral("-10");
    t.txtCheckX = QStringLiteral("30");
    t.txtCheckY = QStringLiteral("22.5");
    t.txtCheckXpix = QStringLiteral("6000");
    t.txtCheckYpix = QStringLiteral("4500");
    t.ipt_file_description = QStringLiteral("/grids/lake.ipt");
    t.ipt_file_description_2 = QStringLiteral("North camera");
    return t;
}

// The same rectangle on the picture under perspective: vertical picture lines converge on the
// water so that the left and right edges are seen fovDegrees apart.
GridEntryTexts perspectiveView(double fovDegrees)
{
    const double halfWidth = 4800, scale = 0.005, c5 = 1e-4;
    GridTransform truth;
    truth.c = {-6000 * scale,
               scale,
               0,
               0,
               c5,
               scale / c5 - scale * halfWidth / std::tan(fovDegrees / 2 * std::numbers::pi / 180),
               0,
               scale};
    GridEntryTexts t = squareView(1200, 10800, 1200, 10800);
    auto survey = [&](const QString &x, const QString &y, QString &vx, QString &vy) {
        const SurveyPoint p = *ScreenToSurvey(truth, {Val(x), Val(y)});
        vx = CStr(p.x), vy = CStr(p.y);
    };
    survey(t.upper_left_x, t.upper_left_y, t.ul_survey_x, t.ul_survey_y);
    survey(t.upper_right_x, t.upper_right_y, t.ur_survey_x, t.ur_survey_y);
    survey(t.lower_left_x, t.lower_left_y, t.ll_survey_x, t.ll_survey_y);
    survey(t.lower_right_x, t.lower_right_y, t.lr_survey_x, t.lr_survey_y);
    survey(t.txtCheckXpix, t.txtCheckYpix, t.txtCheckX, t.txtCheckY);
    return t;
}

// The grid record a completion writes, spelled out from the field texts.
QStringList expectedRecord(const GridEntryTexts &t, int n, const QString &checkNumbers,
                           const QString &checkSurveyNumbers)
{
    const QString blank = QStringLiteral(" ");
    QStringList lines{QStringLiteral("07-14-2024 09:05:03 New Set-up now in place"),
                      t.ipt_file_description, t.ipt_file_description_2,
                      QStringLiteral("Grid Number:  %1 ").arg(n), blank};
    auto corner = [&](const char *name, const QString &x, const QString &y, const QString &sx,
                      const QString &sy) {
        lines << QString::fromLatin1(name) + " X,Y Pixels: " + x + "  " + y
              << QString::fromLatin1(name) + " X,Y Survey: " + sx + "  " + sy << blank;
    };
    corner("Upper Left", t.upper_left_x, t.upper_left_y, t.ul_survey_x, t.ul_survey_y);
    corner("Lower Left", t.lower_left_x, t.lower_left_y, t.ll_survey_x, t.ll_survey_y);
    corner("Upper Right", t.upper_right_x, t.upper_right_y, t.ur_survey_x, t.ur_survey_y);
    corner("Lower Right", t.lower_right_x, t.lower_right_y, t.lr_survey_x, t.lr_survey_y);
    return lines << "Jump X,Y Survey: " + t.jump_x + "  " + t.jump_y << blank
                 << "Check Buoy X,Y Pixels: " + checkNumbers
                 << "Check Buoy X,Y Survey: " + checkSurveyNumbers << blank;
}

class SetupValidationTest : public ::testing::Test
{
protected:
    CompletionOutcome complete(const GridEntryTexts &texts, bool allowInvalid = false, int n = 1,
                               const QString &width = QStringLiteral("12000"))
    {
        return validation.complete(n, texts, width, allowInvalid);
    }
    QStringList results() const
    {
        QString text = QString::fromUtf8(TestDirs::readFile(resultsPath));
        if (text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        return text.isEmpty() ? QStringList{} : text.split(QStringLiteral("\r\n"));
    }
    // The debug log's messages, without their time zone.
    QStringList debugLines() const
    {
        QStringList lines;
        for (const QString &l :
             QString::fromUtf8(TestDirs::readFile(debugLog.path())).split(QStringLiteral("\r\n")))
            if (!l.isEmpty())
                lines << l.mid(14);
        return lines;
    }

    QStringList lastDebugLines(qsizetype count) const
    {
        const QStringList lines = debugLines();
        return lines.mid(lines.size() - count);
    }

    TestDirs dirs;
    FixedClock clock{QDateTime(QDate(2024, 7, 14), QTime(9, 5, 3))};
    ScriptedPrompter prompter;
    DebugLog debugLog{dirs.paths(), clock, prompter};
    QString resultsPath = dirs.file(QStringLiteral("results.txt"));
    ResultsFile resultsFile{resultsPath, prompter};
    GridStore grids;
    SetupValidation validation{grids, debugLog, resultsFile, prompter, clock};
};

TEST_F(SetupValidationTest, GoodGridIsLoadedStoredAndRecordedWithoutAMessage)
{
    grids.setGridCount(2);
    grids.setGridLoaded(1, true);
    const GridEntryTexts texts = squareView(1200, 10800, 1200, 10800);

    const CompletionOutcome o = complete(texts, false, 2);

    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(o.end, CompletionEnd::Accepted);
    EXPECT_TRUE(o.accepted && o.recordWritten && o.gridChecked && o.accuracyCheckEnabled);
    EXPECT_EQ(o.stateIcon, QStringLiteral("face02.ico"));
    EXPECT_EQ(o.hint, CheckBuoyHint::Hidden);
    EXPECT_TRUE(grids.gridLoaded(2));
    EXPECT_EQ(grids.currentGrid(), 2);
    EXPECT_TRUE(grids.allGridsReady());
    EXPECT_EQ(grids.directionSign(), -1);
    const Grid &stored = grids.entry(2);
    EXPECT_EQ(stored.fileName, QStringLiteral("/grids/lake.ipt"));
    EXPECT_EQ(stored.description, QStringLiteral("North camera"));
    EXPECT_NEAR(ScreenToSurvey(stored.transform, {9000, 6000})->x, 45, 1e-9);
    EXPECT_EQ(stored.jump.x, 30);
    EXPECT_EQ(grids.distanceJump().y, -10);
    EXPECT_EQ(stored.checkBuoyScreen.y, 4500);
    EXPECT_EQ(stored.checkBuoySurvey.y, 22.5);

    EXPECT_EQ(
        debugLines(),
        QStringList(
            {"Record Grid Setup", "check buoy x = 30", "check buoy y = 22.5",
             "check buoy on screen x =  30", "check buoy on screen y =  22.5",
             "left angle=  0 degrees", "left position =  1200", "right angle=  0 degrees",
             "right position =  10800", "Field of view  =  0 degrees",
             "Screen width of Grid  =  80%", "Screen width  = 12000",
             "grid 2 OK and loaded - not saved", "Check if Setup OK", "2 grids - all loaded on OK",
             "If setup is OK there should be a message above this saying so otherwise - not OK",
             "Front set-up ratio =  80", "Back set-up ratio =  80"}));
    EXPECT_EQ(results(), expectedRecord(texts, 2, " 6000    4500 ", " 30    22.5 "));
}

TEST_F(SetupValidationTest, CheckBuoyPassesAt22Point5TwipsOffAndFailsAt23)
{
    GridEntryTexts texts = squareView(1200, 10800, 1200, 10800);
    texts.txtCheckXpix = QStringLiteral("6022.5");
    EXPECT_EQ(complete(texts).end, CompletionEnd::Accepted);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(results()[19], QStringLiteral("Check Buoy X,Y Pixels:  6022.5    4500 "));

    QFile::remove(resultsPath);
    texts.txtCheckXpix = QStringLiteral("6023");
    const CompletionOutcome o = complete(texts);

    EXPECT_EQ(prompter.texts(), QStringList{"Check Buoy Does not Validate"});
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::None);
    EXPECT_EQ(o.end, CompletionEnd::CheckBuoyInvalid);
    EXPECT_EQ(o.hint, CheckBuoyHint::Shown);
    EXPECT_NEAR(o.hintPosition.x, 6015, 1e-9);
    EXPECT_NEAR(o.hintPosition.y, 4395, 1e-9);
    EXPECT_TRUE(o.drawingsCleared && o.markersRedrawn && !o.gridChecked && !o.recordWritten);
    EXPECT_EQ(o.stateIcon, QStringLiteral("msgbox03.ico"));
    EXPECT_TRUE(grids.gridLoaded(1)) << "a grid loaded before stays loaded";
    EXPECT_EQ(lastDebugLines(2),
              (QStringList({"measured x: 6023 Actual:  6000", "measured y: 4500 Actual:  4500"})));
    EXPECT_TRUE(results().isEmpty());
}

TEST_F(SetupValidationTest, FieldOfView35WarnsAnd35Point1IsInvalidUnlessAllowed)
{
    const CompletionOutcome at35 = complete(perspectiveView(35.0));
    EXPECT_EQ(prompter.texts(),
              QStringList{
                  "Warning! Field of View is  35 degrees where the maximum allowed is 35 degrees "
                  "and the desired is less than 30 degrees. If your grid is not taking up as much "
                  "of the screen  as possible then your fov is even greater and may lead to "
                  "inaccurate readings. You should consider moving the camera further away or "
                  "making the measurement grid shorter."});
    EXPECT_EQ(at35.end, CompletionEnd::Accepted);
    EXPECT_TRUE(debugLines().contains(QStringLiteral("Field of view  =  35 degrees")));
    EXPECT_EQ(results().size(), 22);

    const QString invalid = QStringLiteral(
        "Setup is not valid, Field of View is  35.1 degrees where the maximum allowed is 35 "
        "degrees."
        "You either need to move the camera further away or make the measurement grid shorter.");
    grids.setGridLoaded(1, false);
    prompter.clear();
    QFile::remove(resultsPath);
    const CompletionOutcome at351 = complete(perspectiveView(35.1));
    EXPECT_EQ(prompter.texts(), QStringList{invalid});
    EXPECT_EQ(at351.end, CompletionEnd::FieldOfViewInvalid);
    EXPECT_FALSE(grids.gridLoaded(1));
    EXPECT_TRUE(results().isEmpty());
    EXPECT_FALSE(debugLines().contains(QStringLiteral("Field of view  =  35.1 degrees")));

    prompter.clear();
    const CompletionOutcome allowed = complete(perspectiveView(35.1), true);
    EXPECT_EQ(prompter.texts(), QStringList({invalid, kAllowed}));
    EXPECT_EQ(prompter.prompts()[1].icon, MessageIcon::Critical);
    EXPECT_EQ(allowed.end, CompletionEnd::Accepted);
    EXPECT_TRUE(grids.gridLoaded(1));
    EXPECT_EQ(results().size(), 22);
}

TEST_F(SetupValidationTest, GridWidth80PassesSilently79Point9WarnsAnd75IsInvalidUnlessAllowed)
{
    const QString warn79 =
        QStringLiteral("Warning - Grid is  79% which is less than 80% of screen width.  "
                       "Zoom your camera until the grid nearly fills the screen.");
    EXPECT_EQ(complete(squareView(1200, 10800, 1200, 10800)).end, CompletionEnd::Accepted);
    EXPECT_TRUE(prompter.texts().isEmpty());

    const GridEntryTexts narrow = squareView(1200, 10788, 1200, 10788);
    EXPECT_EQ(complete(narrow, false, 2).end, CompletionEnd::Accepted);
    EXPECT_EQ(prompter.texts(),
              QStringList({warn79, "Grid is greater than 75% so continue",
                           "Front ratio is  79%  Zoom camera in until front is > 85%"}));
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(grids.gridLoaded(2));
    EXPECT_EQ(results().mid(22), expectedRecord(narrow, 2, " 6000    4500 ", " 30    22.5 "));

    QFile::remove(resultsPath);
    prompter.clear();
    const QString warn75 = QString(warn79).replace(QStringLiteral(" 79%"), QStringLiteral(" 75%"));
    const GridEntryTexts tooNarrow = squareView(1200, 10200, 1200, 10200);
    EXPECT_EQ(complete(tooNarrow, false, 3).end, CompletionEnd::GridWidthInvalid);
    EXPECT_EQ(prompter.texts(), QStringList{warn75});
    EXPECT_FALSE(grids.gridLoaded(3));
    EXPECT_TRUE(results().isEmpty());

    prompter.clear();
    EXPECT_EQ(complete(tooNarrow, true, 3).end, CompletionEnd::Accepted);
    EXPECT_EQ(prompter.texts(),
              QStringList(
                  {warn75, kAllowed, "Front ratio is  75%  Zoom camera in until front is > 85%"}));
    EXPECT_TRUE(grids.gridLoaded(3));
    EXPECT_EQ(results(), expectedRecord(tooNarrow, 3, " 6000    4500 ", " 30    22.5 "));

    // A picture width that is no number cannot give a percentage; the default width stands in.
    EXPECT_EQ(setupRatios(tooNarrow, QStringLiteral("0")).front, 75);
}

TEST_F(SetupValidationTest, FrontRatioOf75AsksToZoomInAfterTheGridIsAccepted)
{
    const GridEntryTexts texts = squareView(1200, 10800, 1500, 10500);
    const CompletionOutcome o = complete(texts);
    EXPECT_EQ(prompter.texts(),
              QStringList{"Front ratio is  75%  Zoom camera in until front is > 85%"});
    EXPECT_TRUE(prompter.prompts()[0].title.isEmpty());
    EXPECT_EQ(o.end, CompletionEnd::Accepted);
    EXPECT_EQ(o.ratios.front, 75);
    EXPECT_EQ(o.ratios.back, 80);
    EXPECT_EQ(lastDebugLines(2),
              (QStringList({"Front set-up ratio =  75", "Back set-up ratio =  80"})));
    EXPECT_EQ(results(), expectedRecord(texts, 1, " 6000    4500 ", " 30    22.5 "));
}

TEST_F(SetupValidationTest, MissingEntriesAndUnsolvableCornersAreRecordedButNotLoaded)
{
    GridEntryTexts texts = squareView(1200, 10800, 1200, 10800);
    texts.jump_y = QStringLiteral("jump y");
    CompletionOutcome o = complete(texts);
    EXPECT_EQ(prompter.texts(), QStringList{kNotAll});
    EXPECT_EQ(prompter.prompts()[0].title, QStringLiteral("Error Message"));
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(o.end, CompletionEnd::MissingEntries);
    EXPECT_EQ(o.hint, CheckBuoyHint::Unchanged);
    EXPECT_FALSE(o.accuracyCheckEnabled || o.drawingsCleared || grids.gridLoaded(1));
    EXPECT_TRUE(o.recordWritten && o.gridChecked);
    EXPECT_EQ(results(), expectedRecord(texts, 1, " 6000    4500 ", " 30    22.5 "));
    EXPECT_FALSE(debugLines().contains(QStringLiteral("Record Grid Setup")));

    QFile::remove(resultsPath);
    prompter.clear();
    texts = squareView(1200, 10800, 1200, 10800);
    texts.txtCheckXpix = QStringLiteral("auto");
    texts.txtCheckYpix = QStringLiteral("auto");
    o = complete(texts);
    EXPECT_EQ(prompter.texts(), QStringList({"Setup of Check Buoy is Mandatory", kNotAll}));
    EXPECT_EQ(results(), expectedRecord(texts, 1, " 0    0 ", " 30    22.5 "));

    QFile::remove(resultsPath);
    prompter.clear();
    texts = squareView(0, 0, 0, 0);
    o = complete(texts);
    EXPECT_EQ(prompter.texts(),
              QStringList({"No Unique Solution - Re-enter data",
                           "Front ratio is  0%  Zoom camera in until front is > 85%"}));
    EXPECT_EQ(prompter.prompts()[0].title, QStringLiteral("Error Message"));
    EXPECT_EQ(o.end, CompletionEnd::NoUniqueSolution);
    EXPECT_FALSE(o.accuracyCheckEnabled) << "nothing to check accuracy of without a transform";
    EXPECT_TRUE(grids.active().transform.isZero());
    EXPECT_FALSE(grids.gridLoaded(1));
    EXPECT_EQ(results().size(), 22);
}

TEST_F(SetupValidationTest, UnwritableResultsFileIsNotReportedAsRecorded)
{
    resultsFile.setPath(dirs.file(QStringLiteral("no such folder/results.txt")));
    const CompletionOutcome o = complete(squareView(1200, 10800, 1200, 10800));
    EXPECT_TRUE(o.accepted);
    EXPECT_FALSE(o.recordWritten);
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(
        prompter.texts()[0].startsWith(QStringLiteral("The results file could not be written")));
}

TEST_F(SetupValidationTest, CheckBuoySurveyedBeyondTheHorizonFailsWithoutANumber)
{
    // 256 twips to the metre, the picture's depth halving every 8192 twips down: the solve is
    // exact, and survey Y 32 is the horizon, which has no place on the picture.
    GridEntryTexts t;
    t.upper_left_x = "1024", t.upper_left_y = "0", t.ul_survey_x = "4", t.ul_survey_y = "0";
    t.upper_right_x = "9216", t.upper_right_y = "0", t.ur_survey_x = "36", t.ur_survey_y = "0";
    t.lower_left_x = "1024", t.lower_left_y = "8192", t.ll_survey_x = "2", t.ll_survey_y = "16";
    t.lower_right_x = "9216", t.lower_right_y = "8192", t.lr_survey_x = "18", t.lr_survey_y = "16";
    t.jump_x = "10", t.jump_y = "-5", t.txtCheckX = "10", t.txtCheckY = "32";
    t.txtCheckXpix = "5000", t.txtCheckYpix = "4000";

    const CompletionOutcome o = complete(t);
    EXPECT_EQ(prompter.texts(), QStringList{"Check Buoy Does not Validate"});
    EXPECT_EQ(o.end, CompletionEnd::CheckBuoyInvalid);
    EXPECT_EQ(o.hint, CheckBuoyHint::Hidden) << "no place to point the hint at";
    EXPECT_EQ(lastDebugLines(2), (QStringList({"measured x: 5000 Actual: no image",
                                               "measured y: 4000 Actual: no image"})));
}

TEST(FieldOfView, EdgesAndAnglesWithoutAnImage)
{
    Grid g;
    g.corner(Corner::UpperLeft).screen = {1000, 100};
    g.corner(Corner::LowerLeft).screen = {1000, 900};
    g.corner(Corner::UpperRight).screen = {9000, 100};
    g.corner(Corner::LowerRight).screen = {9500, 900};
    EXPECT_EQ(leftEdge(g).y, 100) << "upper left when equal";
    EXPECT_EQ(rightEdge(g).x, 9500);

    GridTransform t;
    t.c = {0, 1, 0, 0, -1.0 / 1024, 0, 0, 1}; // w = 0 on the line y = 1024
    EXPECT_FALSE(edgeAngleDegrees(t, {500, 1024 + kEdgeProbeTwips}).has_value());
    EXPECT_TRUE(edgeAngleDegrees(t, {500, 2000}).has_value());
    EXPECT_EQ(fieldOfViewDegrees(-17.5, 17.549), 35.0);
    EXPECT_EQ(fieldOfViewDegrees(-17.5, 17.551), 35.1);
}

} // namespace
