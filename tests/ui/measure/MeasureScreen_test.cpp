#include "support/Clicks.h"
#include "support/ProgramHarness.h"
#include "support/TestGrids.h"
#include "support/ToolRunner.h"

#include "core/geometry/GridTransformSolver.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/measure/PictureKeeper.h"
#include "core/measure/ResultRecorder.h"
#include "ui/app/MainForm.h"
#include "ui/common/PictureView.h"
#include "ui/measure/Measure.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The whole program with grid 1 loaded and the frame picture waiting on the measure screen.
class MeasureScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gridPath = h.storeStraightDownGrid();
        h.store(QStringLiteral("tournamentType"), tournament);
        QImage frame(800, 600, QImage::Format_RGB888);
        frame.fill(QColor(20, 60, 120));
        QDir().mkpath(h.dirs.paths().appDir());
        frame.save(h.dirs.paths().currentCapture(), "BMP");

        ASSERT_TRUE(h.startWithVideoDirectory());
        ASSERT_TRUE(h.context().grids().allGridsReady());
        h.prompter.clear();
        h.context().navigationTag = QStringLiteral("SelectFrame");
        h.context().navigator().show(ScreenId::Measure);
        measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
        ASSERT_TRUE(measure->isVisible());
        measure->setSkierAndJump(QStringLiteral("Skier A"), QStringLiteral("3"));
    }

    template <typename W = QWidget>
    W *control(const char *name) { return h.control<W>(ScreenId::Measure, name); }

    void pressAt(QPoint pixels)
    {
        QTest::mousePress(measure->pictureView().canvas(), Qt::LeftButton, {}, pixels);
    }

    QString lastResultLine()
    {
        QStringList lines = h.resultsText().split(QStringLiteral("\r\n"));
        lines.removeAll(QString());
        return lines.value(lines.size() - 1);
    }

    QString tournament = QStringLiteral("normal");
    ProgramHarness h;
    QString gridPath;
    Measure *measure = nullptr;
};

} // namespace

TEST_F(MeasureScreen, APlacedAndNudgedMarkIsRecordedToTheByte)
{
    h.clock.set(QDateTime(QDate(2026, 12, 8), QTime(14, 35, 27)));
    pressAt({400, 300}); // 6000, 4500 twips: 45 m beyond the jump
    EXPECT_EQ(control<QLineEdit>("distance")->text(), QStringLiteral("m"));
    EXPECT_TRUE(control<QWidget>("AdjustUp")->isVisibleTo(measure));
    QTest::mouseClick(control<QWidget>("AdjustDown"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);

    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 14:35:27 Skier A  jump 3 -  47.1m  (IWSF) 155ft  (AWSA) ( 60/ 45.15) ( 6000/ 4515) ( 47.1002)"));
    EXPECT_EQ(control<QLineEdit>("distance")->text(), QStringLiteral(" 47.1m"));
    EXPECT_EQ(control<QLineEdit>("distance_ft")->text(), QStringLiteral(" 155ft"));
    EXPECT_EQ(control<QLineEdit>("Jump_no")->text(), QStringLiteral("3")); // a measured jump does not advance

    // The grid and the mark are drawn: four buoys, side lines, the mark and its splash indicator.
    EXPECT_GT(measure->pictureView().drawingCount(), 4);
    const auto splash = measure->pictureView().namedLine(QStringLiteral("lineSplashIndicator"));
    ASSERT_TRUE(splash.has_value());
    // Left to right on a grid whose upper-right X is larger: the splash stands 2.1 m (210 twips)
    // further along survey X, drawn 1000 twips high.
    EXPECT_NEAR(splash->first.x, 6000 + 210, 1e-6);
    EXPECT_NEAR(splash->first.y - splash->second.y, 1000, 1e-6);
    EXPECT_EQ(control<QLabel>("maxbuoy")->text(), QStringLiteral(" 98 feet"));
    EXPECT_EQ(control<QLabel>("maxbuoym")->text(), QStringLiteral(" 30 meters"));

    // Clear raises the jump number with a leading blank.
    QTest::mouseClick(control<QPushButton>("Unfreeze"), Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>("Jump_no")->text(), QStringLiteral(" 4"));
    EXPECT_FALSE(measure->pictureView().namedLineVisible(QStringLiteral("lineSplashIndicator")));
}

TEST_F(MeasureScreen, FallPassAndVerifyModeLines)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);

    clickIndicator(control<QRadioButton>("Fall"));
    EXPECT_EQ(control<QLineEdit>("Comment")->text(), QStringLiteral("Fall"));
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 09:28:39 Skier A  jump 3 -   (IWSF)  (AWSA)Fall ( 60/ 45) ( 6000/ 4500) ( 47.1)"));
    EXPECT_EQ(control<QLineEdit>("Jump_no")->text(), QStringLiteral(" 4")); // a fall advances
    EXPECT_TRUE(control<QRadioButton>("optJumpOK")->isChecked());

    clickIndicator(control<QRadioButton>("Pass"));
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_TRUE(lastResultLine().startsWith(QStringLiteral("12-08-2026 09:28:39 Skier A  jump  4 -   (IWSF)  (AWSA)Pass (")));

    QTest::mouseClick(control<QPushButton>("verify"), Qt::LeftButton);
    EXPECT_EQ(control<QPushButton>("verify")->text(), QStringLiteral("Verify off"));
    EXPECT_TRUE(control<QWidget>("UnofficialJump")->isVisibleTo(measure));
    pressAt({400, 300});
    QTest::mouseMove(measure->pictureView().canvas(), {400, 300});
    EXPECT_EQ(control<QLineEdit>("VerifyDistance")->text(), QStringLiteral(" 47.1m  154ft")); // 3.28 feet a metre
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 09:28:39 Skier A  jump  5 -  47.1m  (IWSF) 155ft  (AWSA) UNOFFICIAL JUMP - verify mode  ( 60/ 45) ( 6000/ 4500) ( 47.1)"));
}

TEST_F(MeasureScreen, OtherGridPairsMustAgreeWithinTwoFeet)
{
    clickIndicator(control<QRadioButton>("Other_Grid"));
    h.prompter.answer(Answer::Yes).type(QStringLiteral("45")).type(QStringLiteral("150")) // refused
        .answer(Answer::Yes).type(QStringLiteral("45")).type(QStringLiteral("149"));     // accepted
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_TRUE(h.prompter.texts().contains(QStringLiteral(
        "The meter distance and the foot distance you entered did not match, please enter them again")));
    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 09:28:39 Skier A  jump 3 - 45m  (IWSF) 149ft  (AWSA)Distance from other grid"));
    EXPECT_FALSE(control<QRadioButton>("Other_Grid")->isChecked());
}

class BarefootMeasureScreen : public MeasureScreen
{
protected:
    void SetUp() override
    {
        tournament = QStringLiteral("barefoot");
        MeasureScreen::SetUp();
    }
};

TEST_F(BarefootMeasureScreen, BarefootHasNoCorrectionAndTenthsOfAFoot)
{
    EXPECT_TRUE(control<QWidget>("barefoot_indicator")->isVisibleTo(measure));
    pressAt({400, 300});
    const auto splash = measure->pictureView().namedLine(QStringLiteral("lineSplashIndicator"));
    ASSERT_TRUE(splash.has_value());
    EXPECT_NEAR(splash->first.x, 6000, 1e-6); // the splash sits on the mark
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 09:28:39 Skier A  jump 3 -  45m  (IWSF) 147.6ft  (AWSA) BAREFOOT  ( 60/ 45) ( 6000/ 4500) ( 45)"));
}

class SitSkiMeasureScreen : public MeasureScreen
{
protected:
    void SetUp() override
    {
        tournament = QStringLiteral("sitski");
        MeasureScreen::SetUp();
    }
};

TEST_F(SitSkiMeasureScreen, SitSkiGainsOnePointNineMetres)
{
    EXPECT_EQ(control<QLineEdit>("barefoot_indicator")->text(), QStringLiteral("Sit Ski Jump"));
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(lastResultLine(), QStringLiteral(
        "12-08-2026 09:28:39 Skier A  jump 3 -  46.9m  (IWSF) 153.9ft  (AWSA) ( 60/ 45) ( 6000/ 4500) ( 46.9)"));
}

TEST_F(MeasureScreen, TheScreenAndTheToolGiveTheSameDistance)
{
    pressAt({437, 251});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    const QString line = lastResultLine();
    const QString fine = line.mid(line.lastIndexOf(QLatin1Char('(')) + 1).chopped(1).trimmed();

    const ToolRun tool = runTool(
        {QStringLiteral("measure"), gridPath, QString::number(437 * 15), QString::number(251 * 15)});
    ASSERT_EQ(tool.exitCode, 0);
    const double toolDistance = toolValue(tool.out, QStringLiteral("distance_m")).toDouble();
    const QString officialM = toolValue(tool.out, QStringLiteral("official_m"));
    EXPECT_NEAR(fine.toDouble(), toolDistance, 0.00005);
    EXPECT_EQ(control<QLineEdit>("distance")->text(), QLatin1Char(' ') + officialM + QLatin1Char('m'));
}

TEST_F(MeasureScreen, NothingIsShownAsRecordedWhenTheResultsFileCannotBeWritten)
{
    h.context().results().setPath(h.dirs.file(QStringLiteral("gone/results.txt")));
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    ASSERT_FALSE(h.prompter.prompts().isEmpty());
    EXPECT_TRUE(h.prompter.prompts().last().text.contains(h.dirs.file(QStringLiteral("gone/results.txt"))));
    EXPECT_EQ(control<QLineEdit>("distance")->text(), QStringLiteral("m")); // not " 47.1m"
}

TEST_F(MeasureScreen, HeldArrowKeysMoveTheMarkOneStepATickLeftBeforeUp)
{
    pressAt({400, 300});
    QWidget *focus = control<QWidget>("distance_ft");
    QTest::keyPress(focus, Qt::Key_Up);
    QTest::keyPress(focus, Qt::Key_Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return measure->state().impactPoint.x <= 6000 - 30; }, 3000));
    QTest::keyRelease(focus, Qt::Key_Left);
    QTest::keyRelease(focus, Qt::Key_Up);
    const ScreenPoint moved = measure->state().impactPoint;
    EXPECT_EQ(moved.y, 4500.0); // Up waited behind Left
    EXPECT_EQ(std::fmod(6000 - moved.x, 15.0), 0.0);
    // Released: the mark stays put (at most one more step for the tap of Up).
    QTest::qWait(250);
    EXPECT_EQ(measure->state().impactPoint.x, moved.x);
    EXPECT_GE(measure->state().impactPoint.y, 4500.0 - 15);
}

TEST_F(MeasureScreen, GridButtonCyclesOnlyWhenMoreThanOneGridIsInUse)
{
    EXPECT_FALSE(control<QWidget>("Set_grid")->isVisibleTo(measure));
    h.context().grids().setGridCount(2);
    measure->hide();
    h.context().navigator().show(ScreenId::Measure);
    auto *button = control<QPushButton>("Set_grid");
    EXPECT_TRUE(button->isVisibleTo(measure));
    QStringList captions;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(button, Qt::LeftButton);
        captions << button->text();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("&Grid 2"), QStringLiteral("&Grid 1"), QStringLiteral("&Grid 2")}));
    EXPECT_EQ(h.context().grids().currentGrid(), 2);
}

TEST_F(MeasureScreen, RecordingWithoutAMarkRecordsNothing)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    const QString before = h.resultsText();
    QTest::mouseClick(control<QPushButton>("Unfreeze"), Qt::LeftButton); // the next jump
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(h.resultsText(), before);
    EXPECT_EQ(h.prompter.texts().last(), ResultRecorder::kNoMarkText);
}

TEST_F(MeasureScreen, AutoLoadTakesTheClipboardPictureOnlyWhenTheFlagSaysReady)
{
    const QString flag = h.dirs.file(QStringLiteral("drive/qvio/clipflag.txt"));
    QImage waiting(320, 240, QImage::Format_RGB888);
    waiting.fill(Qt::red);
    QApplication::clipboard()->setImage(waiting);

    h.dirs.writeFile(QStringLiteral("drive/qvio/clipflag.txt"), "ready\r\n");
    clickIndicator(control<QCheckBox>("cbAutoLoadClipboard"));
    QTest::qWait(400); // three ticks
    EXPECT_EQ(measure->pictureView().picture().width(), 800); // still the frame picture

    h.dirs.writeFile(QStringLiteral("drive/qvio/clipflag.txt"), "Ready, from WSTIMS\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return measure->pictureView().picture().width() == 320; }, 3000));
    EXPECT_EQ(TestDirs::readFile(flag), QByteArray("  \r\n"));
    clickIndicator(control<QCheckBox>("cbAutoLoadClipboard"));
}

TEST_F(MeasureScreen, PastingWithoutAPictureSaysSoAndFreezesNothing)
{
    QFile::remove(h.dirs.paths().currentCapture());
    measure->mnuPaste_Click();
    EXPECT_TRUE(h.prompter.texts().last().startsWith(QStringLiteral("There is no frame picture to paste yet: ")));
    EXPECT_FALSE(measure->state().pictureFrozen);
    EXPECT_FALSE(control<QWidget>("FrozenSign")->isVisibleTo(measure));
}

// Arrows pressed while the results viewer had the keyboard are not the measure screen's: the
// mark stays where the operator left it when the measure screen is in front again.
TEST_F(MeasureScreen, ArrowsPressedInTheResultsViewerDoNotMoveTheMark)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    h.context().navigator().show(ScreenId::Results);
    QWidget *viewer = h.program().screen(ScreenId::Results)->findChild<QPlainTextEdit *>();
    QTest::keyPress(viewer, Qt::Key_Up);
    QTest::keyRelease(viewer, Qt::Key_Up);
    h.program().screen(ScreenId::Results)->hide();
    h.context().navigator().show(ScreenId::Measure);

    QSignalSpy ticks(measure->findChild<QTimer *>(QStringLiteral("keyTimer")), &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 3; }, 3000));
    EXPECT_EQ(measure->state().impactPoint.y, 4500.0);
}

// A mark belongs to the picture it was placed on: after a new picture, Record waits for a new
// mark, whichever way the picture came.
TEST_F(MeasureScreen, ANewPictureIsNeverMeasuredWithTheOldMark)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    ASSERT_TRUE(lastResultLine().contains(QStringLiteral(" 47.1m")));

    const auto recordRefused = [&](const char *how) {
        const QString before = h.resultsText();
        h.prompter.clear();
        QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
        EXPECT_EQ(h.resultsText(), before) << how;
        EXPECT_EQ(h.prompter.texts().value(0), ResultRecorder::kNoMarkText) << how;
        EXPECT_FALSE(measure->pictureView().namedLineVisible(QStringLiteral("lineVerticalImpact")))
            << how;
    };

    measure->mnuPaste_Click();
    recordRefused("Paste");

    pressAt({400, 300});
    QImage clip(640, 480, QImage::Format_RGB888);
    clip.fill(Qt::darkGreen);
    QApplication::clipboard()->setImage(clip);
    measure->ClipSnapShot_Click();
    recordRefused("clipboard snapshot");

    pressAt({400, 300});
    const QString file = h.dirs.file(QStringLiteral("videos/other.bmp"));
    ASSERT_TRUE(clip.save(file, "BMP"));
    h.prompter.choose(file);
    measure->LoadPict_Click();
    recordRefused("Load Picture");

    // A mark placed on the new picture is measured as before.
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_TRUE(lastResultLine().contains(QStringLiteral(" 47.1m  (IWSF)")));
}

// The boxes' starting texts are not a skier and a jump: Record asks before recording them.
TEST_F(MeasureScreen, StartingTextsAreRecordedOnlyWhenTheOperatorSaysSo)
{
    measure->setSkierAndJump(QStringLiteral("Skier Name"), QStringLiteral("Jump"));
    pressAt({400, 300});
    const QString before = h.resultsText();
    h.prompter.clear();
    h.prompter.answer(Answer::No);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(h.prompter.texts().value(0),
              QStringLiteral(
                  "No skier name has been entered and the jump number \"Jump\" is not a number. "
                  "Do you want to record this jump anyway?"));
    EXPECT_EQ(h.resultsText(), before);
    EXPECT_EQ(control<QLineEdit>("distance")->text(), QStringLiteral("m"));

    h.prompter.answer(Answer::Yes);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_TRUE(lastResultLine().contains(QStringLiteral(" Skier Name  jump Jump -  47.1m")));
}

// Closing the window by its frame is "Return to Main Screen": the picture is kept by the
// policy, the screen is cleared for the next jump and the main screen comes back.
TEST_F(MeasureScreen, ClosingByTheFrameTakesTheWayBack)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    h.prompter.clear();
    h.prompter.answer(Answer::Yes); // "Do you want to save this picture?"
    measure->close();
    QCoreApplication::processEvents();

    EXPECT_EQ(h.prompter.texts().value(0), QStringLiteral("Do you want to save this picture?"));
    EXPECT_TRUE(QFileInfo::exists(h.videos() + QStringLiteral("/Skier Ajump3.bmp")));
    EXPECT_EQ(control<QLineEdit>("Jump_no")->text(), QStringLiteral(" 4"));
    EXPECT_FALSE(measure->isVisible());
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_TRUE(h.context().navigationTag.isEmpty());
}

TEST_F(MeasureScreen, SavingWithoutAPictureSaysThereIsNone)
{
    QTest::mouseClick(control<QPushButton>("Unfreeze"), Qt::LeftButton); // empties the picture
    h.prompter.clear();
    measure->findChild<QAction *>(QStringLiteral("SavePict"))->trigger();
    EXPECT_EQ(h.prompter.texts(), QStringList{PictureKeeper::kNoPictureText});
    EXPECT_FALSE(QFileInfo::exists(h.videos() + QStringLiteral("/Skier Ajump4.bmp")));
}
