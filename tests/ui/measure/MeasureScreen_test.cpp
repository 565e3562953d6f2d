#include "support/Clicks.h"
#include "support/ProgramHarness.h"
#include "support/TestGrids.h"
#include "support/ToolRunner.h"

#include "core/geometry/GridTransformSolver.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/vision/CameraWatch.h"
#include "core/measure/PictureKeeper.h"
#include "core/measure/ResultRecorder.h"
#include "ui/app/MainForm.h"
#include "ui/common/PictureMagnifier.h"
#include "ui/common/PictureView.h"
#include "ui/measure/Measure.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>

#include <QRegularExpression>

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
        h.dirs.writeFramePicture();

        ASSERT_TRUE(h.startWithVideoDirectory());
        ASSERT_TRUE(h.context().grids().allGridsReady());
        h.prompter.clear();
        h.context().navigationTag = QStringLiteral("SelectFrame");
        h.context().navigator().show(ScreenId::Measure);
        measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
        ASSERT_TRUE(measure->isVisible());
        measure->setSkierAndJump(QStringLiteral("Skier A"), QStringLiteral("3"));
        // The clicks below name whole picture pixels.
        measure->pictureView().setZoom(1.0);
    }

    template <typename W = QWidget>
    W *control(const char *name) { return h.control<W>(ScreenId::Measure, name); }

    void pressAt(QPoint pixels)
    {
        pressOnPicture(measure->pictureView(), pixels);
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

// Record pressed twice for one mark would put the jump into the results and the scoring
// program's files twice: the second press asks, No by default; a moved mark is a new one.
TEST_F(MeasureScreen, RecordingTheSameMarkAgainIsAskedAbout)
{
    pressAt({400, 300});
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    const QString once = h.resultsText();
    ASSERT_TRUE(h.prompter.prompts().isEmpty());

    h.prompter.answer(Answer::No);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(h.resultsText(), once);
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    const auto asked = h.prompter.prompts().first();
    EXPECT_EQ(asked.text, QStringLiteral("This jump is already recorded. Record it again?"));
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.defaultAnswer, Answer::No);

    h.prompter.answer(Answer::Yes);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_EQ(h.resultsText().count(QStringLiteral("jump 3 -")), 2);

    // A nudged mark is recorded without a question.
    h.prompter.clear();
    QTest::mouseClick(control<QWidget>("AdjustDown"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    EXPECT_TRUE(h.prompter.prompts().isEmpty());
    EXPECT_EQ(h.resultsText().count(QStringLiteral("jump 3 -")), 3);
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

// The point a click marks is the same picture point at 1:1, fitted and zoomed in; zoomed in it is
// finer than a pixel, the arrows still move it a whole pixel, and the distance comes from it.
TEST_F(MeasureScreen, AClickMarksTheSamePointAtEveryZoomAndFinerWhenZoomedIn)
{
    PictureView &view = measure->pictureView();
    const auto mark = [&] {
        const auto line = view.namedLine(QStringLiteral("lineVerticalImpact"));
        return line ? ScreenPoint{line->first.x, (line->first.y + line->second.y) / 2} : ScreenPoint{};
    };

    pressAt({400, 300});
    EXPECT_EQ(mark().x, 6000.0);
    EXPECT_EQ(mark().y, 4500.0);

    // The 800 x 600 picture is larger than this screen's view: fit shrinks it.
    view.fitToView();
    const double fit = view.scale().zoom();
    ASSERT_LT(fit, 1.0);
    pressOnPicture(view, {400, 300});
    EXPECT_NEAR(mark().x, 6000, 7.5 / fit + 7.5);
    EXPECT_NEAR(mark().y, 4500, 7.5 / fit + 7.5);
    EXPECT_EQ(std::fmod(mark().x, 15.0), 0.0); // whole pixels when shrunk

    // Zoomed to 4x about the landing: the same point exactly, and a quarter of a pixel is a mark.
    view.setZoom(4.0, view.canvas()->mapTo(view.viewport(), canvasPointOf(view, {400, 300})));
    EXPECT_EQ(view.scale().zoom(), 4.0);
    pressOnPicture(view, {400, 300});
    EXPECT_EQ(mark().x, 6000.0);
    EXPECT_EQ(mark().y, 4500.0);
    QTest::mousePress(view.canvas(), Qt::LeftButton, {}, canvasPointOf(view, {400, 300}) + QPoint(1, 2));
    EXPECT_EQ(mark().x, 6003.75);
    EXPECT_EQ(mark().y, 4507.5);

    // A nudge is still a whole pixel: 15 twips.
    QTest::mouseClick(control<QWidget>("AdjustRight"), Qt::LeftButton);
    EXPECT_EQ(mark().x, 6018.75);
    h.clock.set(QDateTime(QDate(2026, 12, 8), QTime(14, 35, 27)));
    QTest::mouseClick(control<QPushButton>("Record"), Qt::LeftButton);
    // Straight down at a centimetre a twip: survey 60.1875, 45.075 from the jump at 15, 45.
    const double metres = std::hypot(60.1875 - 15, 45.075 - 45) + 2.1;
    EXPECT_EQ(lastResultLine(),
              QStringLiteral("12-08-2026 14:35:27 Skier A  jump 3 -  47.3m  (IWSF) 155ft  (AWSA) "
                             "( 60.188/ 45.075) ( 6018/ 4507) ( %1)")
                  .arg(std::round(metres * 1e4) / 1e4, 0, 'f', 4));
}

// A click on the middle of an enlarged pixel marks that pixel's centre, the twips a click on it
// at 1:1 records, and the mark is drawn over the middle of that pixel at 8x and at 1:1.
TEST_F(MeasureScreen, AMarkMadeZoomedInIsThePixelCentreAndIsDrawnOverIt)
{
    PictureView &view = measure->pictureView();
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    view.setPicture(picture);
    // The middle of the vertical impact line in one canvas row, in view pixels.
    const auto lineMiddleInRow = [&](int row) {
        const QImage seen = view.canvas()->grab(QRect(0, row, view.canvas()->width(), 1)).toImage();
        double sum = 0;
        int count = 0;
        for (int x = 0; x < seen.width(); ++x) {
            if (seen.pixel(x, 0) != qRgb(0, 0, 255)) {
                sum += x + 0.5;
                ++count;
            }
        }
        return count ? sum / count : -1.0;
    };
    for (int zoom : {1, 2, 3, 4, 6, 8}) {
        view.setZoom(zoom, view.canvas()->mapTo(view.viewport(), canvasPointOf(view, {400, 300})));
        ASSERT_EQ(view.scale().zoom(), zoom);
        QTest::mousePress(view.canvas(), Qt::LeftButton, {},
                          QPoint(400 * zoom + zoom / 2, 300 * zoom + zoom / 2));
        const auto line = view.namedLine(QStringLiteral("lineVerticalImpact"));
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->first.x, 6000.0) << zoom << "x";
        EXPECT_EQ((line->first.y + line->second.y) / 2, 4500.0) << zoom << "x";
    }
    // Three picture rows below the mark only the vertical line crosses the row.
    view.setZoom(8);
    EXPECT_NEAR(lineMiddleInRow(303 * 8 + 4), 400.5 * 8, 1.0);
    view.setZoom(1);
    EXPECT_NEAR(lineMiddleInRow(303), 400.5, 1.0);
}

// The magnifier shows the camera's own pixels around the point a click would mark, enlarged
// without smoothing, with that point in its middle.
TEST_F(MeasureScreen, TheMagnifierShowsThePixelsWhereAClickWouldMark)
{
    PictureView &view = measure->pictureView();
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setPixel(400, 300, qRgb(255, 0, 0));
    view.setPicture(picture);
    auto *button = view.findChild<QToolButton *>(QStringLiteral("btnMagnifier"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisibleTo(measure));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(view.magnifierOn());

    const QPoint over = canvasPointOf(view, {400, 300});
    QMouseEvent move(QEvent::MouseMove, over, view.canvas()->mapToGlobal(over), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.canvas(), &move);
    ASSERT_TRUE(view.magnifier().isVisible());
    EXPECT_EQ(view.magnifier().mark().x, 6000.0);
    EXPECT_EQ(view.magnifier().mark().y, 4500.0);
    const auto shot = [&] { return const_cast<PictureMagnifier &>(view.magnifier()).grab().toImage(); };
    const int middle = PictureMagnifier::kSidePixels / 2;
    QImage seen = shot();
    // Picture pixel 400, 300 covers the 4 x 4 view pixels around the middle, where the cross
    // meets: the point a click there marks is that pixel's centre.
    // (The cross leaves the inner view pixels free.)
    for (int dx : {-1, 0})
        for (int dy : {-1, 0})
            EXPECT_EQ(seen.pixel(middle + dx, middle + dy), qRgb(255, 0, 0)) << dx << ", " << dy;
    EXPECT_EQ(seen.pixel(middle + 3, middle + 3), qRgb(0, 0, 255));
    EXPECT_EQ(seen.pixel(middle - 3, middle - 3), qRgb(0, 0, 255));

    auto *power = view.findChild<QComboBox *>(QStringLiteral("cboMagnifierPower"));
    power->setCurrentIndex(power->findText(QStringLiteral("8x")));
    EXPECT_EQ(view.magnifier().power(), 8);
    seen = shot();
    // At 8x the enlarged pixel reaches four view pixels either side of the middle.
    for (int dx : {-4, 3})
        for (int dy : {-4, 3})
            EXPECT_EQ(seen.pixel(middle + dx, middle + dy), qRgb(255, 0, 0)) << dx << ", " << dy;
    EXPECT_EQ(seen.pixel(middle + 4, middle - 4), qRgb(0, 0, 255));
    EXPECT_EQ(seen.pixel(middle - 5, middle + 3), qRgb(0, 0, 255));

    // The key switches it too, and a click under it marks the point in its middle.
    measure->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(measure));
    QTest::keyClick(measure, Qt::Key_F9);
    EXPECT_FALSE(view.magnifierOn());
    EXPECT_FALSE(view.magnifier().isVisible());
    QTest::keyClick(measure, Qt::Key_F9);
    EXPECT_TRUE(view.magnifierOn());
    pressOnPicture(view, {400, 300});
    const auto line = view.namedLine(QStringLiteral("lineVerticalImpact"));
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->first.x, view.magnifier().mark().x);
}

// Each new picture opens whole on screen, whatever zoom and scroll the last one was left at.
TEST_F(MeasureScreen, EachNewPictureOpensFitted)
{
    PictureView &view = measure->pictureView();
    view.setZoom(6.0, view.canvas()->mapTo(view.viewport(), canvasPointOf(view, {700, 500})));
    ASSERT_EQ(view.scale().zoom(), 6.0);

    QImage next(800, 600, QImage::Format_RGB888);
    next.fill(Qt::darkGreen);
    const QString path = h.videos() + QStringLiteral("/Skier Ajump2.bmp");
    ASSERT_TRUE(next.save(path, "BMP"));
    ASSERT_TRUE(measure->showLoggedPicture(path));
    EXPECT_TRUE(view.fitting());
    EXPECT_DOUBLE_EQ(view.scale().zoom(), ViewScale::fitZoom({800, 600}, view.maximumViewportSize()));
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

// Load Picture opens in the captures folder, and in the video folder while the captures folder
// typed on the configuration screen does not exist, rather than refusing.
TEST_F(MeasureScreen, LoadPictureStartsInAFolderThatExists)
{
    h.context().tournament().capturesPath = h.dirs.file(QStringLiteral("no such folder/"));
    h.prompter.cancelFile();
    measure->findChild<QAction *>(QStringLiteral("LoadPict"))->trigger();
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_EQ(h.prompter.prompts().first().file.startDirectory, h.context().videoDirectory);

    h.context().tournament().capturesPath = h.dirs.paths().appDir() + QLatin1Char('/');
    h.prompter.clear();
    h.prompter.cancelFile();
    measure->findChild<QAction *>(QStringLiteral("LoadPict"))->trigger();
    EXPECT_EQ(h.prompter.prompts().first().file.startDirectory, h.dirs.paths().appDir() + QLatin1Char('/'));
}

// At 1366 x 768 (less a title bar) everything a jump needs stands in the side panel without
// scrolling, also after a picture from the log has put its name below the grid description.
TEST_F(MeasureScreen, TheSidePanelFitsALowScreenWithoutScrolling)
{
    measure->setWindowState(Qt::WindowNoState);
    measure->setGeometry(0, 0, 1366, 768 - 30);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(measure));
    const QString picture = h.dirs.file(QStringLiteral("logged.bmp"));
    QImage(640, 480, QImage::Format_RGB888).save(picture, "BMP");
    ASSERT_TRUE(measure->showLoggedPicture(picture));
    pressAt({400, 300}); // a mark shows the arrow buttons
    QApplication::processEvents();

    const QRect window = measure->rect();
    for (const char *name : {"Record", "distance", "distance_ft", "Skier_name", "Jump_no",
                             "optJumpOK", "Make_comment", "Comment", "AdjustUp", "AdjustDown",
                             "AdjustLeft", "AdjustRight", "CrossSize", "gif_file_name"}) {
        QWidget *w = control(name);
        ASSERT_NE(w, nullptr) << name;
        const QRect at(w->mapTo(measure, QPoint(0, 0)), w->size());
        EXPECT_TRUE(window.contains(at)) << name << " lies at " << at.y() << ".." << at.bottom();
        EXPECT_TRUE(w->isVisible()) << name;
        EXPECT_EQ(w->visibleRegion().boundingRect(), w->rect()) << name << " is partly hidden";
    }
    EXPECT_EQ(control<QScrollArea>("sidePanel")->verticalScrollBar()->maximum(), 0);
}

TEST_F(MeasureScreen, TheAttemptTakesOnlyDigits)
{
    auto *jump = control<QLineEdit>("Jump_no");
    jump->selectAll();
    QTest::keyClicks(jump, QStringLiteral("x7-."));
    EXPECT_EQ(jump->text(), QStringLiteral("7"));
    QTest::mouseClick(control<QPushButton>("Unfreeze"), Qt::LeftButton);
    ASSERT_EQ(jump->text(), QStringLiteral(" 8")); // the program's own number form
    jump->end(false);
    QTest::keyClicks(jump, QStringLiteral("1"));
    EXPECT_EQ(jump->text(), QStringLiteral(" 81"));
}

// A picture of another size than the one the grid was built on is named under the picture,
// before Record; the grid it is checked against is the one in use, also after Grid is pressed.
TEST_F(MeasureScreen, APictureOfAnotherSizeThanTheGridsIsSaidToMayNotBelong)
{
    auto *warning = control<QLabel>("lblGridWarning");
    // No size known for grid 1, but a plain picture shows none of its buoys.
    EXPECT_EQ(warning->text(), noBuoyNearItsMarkText(1));

    h.store(QStringLiteral("grid1PictureSize"), QStringLiteral("1280x720"));
    h.store(QStringLiteral("grid2PictureSize"), QStringLiteral("800x600"));
    h.context().grids().setGridCount(2);
    measure->hide();
    h.context().navigator().show(ScreenId::Measure);
    ASSERT_TRUE(warning->isVisibleTo(measure));
    EXPECT_EQ(warning->text(),
              QStringLiteral("This picture is 800 x 600 pixels, grid 1 was built on a 1280 x 720 "
                             "picture: the picture may not belong to this grid. Check the grid "
                             "before recording."));

    QTest::mouseClick(control<QPushButton>("Set_grid"), Qt::LeftButton); // grid 2
    EXPECT_EQ(warning->text(), noBuoyNearItsMarkText(2)); // the size agrees
    QImage wide(1280, 720, QImage::Format_RGB888);
    wide.fill(Qt::darkBlue);
    h.prompter.choose(h.dirs.file(QStringLiteral("wide.bmp")));
    ASSERT_TRUE(wide.save(h.dirs.file(QStringLiteral("wide.bmp")), "BMP"));
    measure->LoadPict_Click();
    EXPECT_TRUE(warning->isVisibleTo(measure));
    EXPECT_TRUE(warning->text().contains(QStringLiteral("grid 2 was built on a 800 x 600")));
}

// The simulated view and the grid built on it: a steady camera is said to be steady; the same
// view moved three pixels is said to have moved, and "Follow camera" measures the landing at its
// moved place as the truth; the next picture is measured on the grid itself again.
TEST(MeasureCameraWatch, AMovedCameraIsSaidAndFollowedForOneJump)
{
    ProgramHarness h;
    const QString grid = h.dirs.file(QStringLiteral("view.ipt"));
    const QString view = h.dirs.file(QStringLiteral("view.bmp"));
    const ToolRun scene = runTool({"scene", "--write-grid", grid, "--picture", view});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
    h.store(QStringLiteral("grid1File"), grid);
    QDir().mkpath(h.dirs.paths().appDir());
    ASSERT_TRUE(QFile::copy(view, h.dirs.paths().currentCapture()));
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.context().navigationTag = QStringLiteral("SelectFrame");
    h.context().navigator().show(ScreenId::Measure);
    auto *measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
    auto *sign = h.control<QLabel>(ScreenId::Measure, "lblCameraSign");
    auto *follow = h.control<QPushButton>(ScreenId::Measure, "cmdFollowCamera");
    EXPECT_EQ(sign->text(), QStringLiteral("Camera steady"));
    EXPECT_FALSE(follow->isVisibleTo(measure));
    const Grid asBuilt = h.context().grids().active();

    QImage moved(QImage(view).size(), QImage::Format_RGB32);
    moved.fill(Qt::black);
    QPainter(&moved).drawImage(3, 0, QImage(view));
    const QString movedView = h.dirs.file(QStringLiteral("moved.bmp"));
    ASSERT_TRUE(moved.save(movedView, "BMP"));
    h.prompter.choose(movedView);
    measure->LoadPict_Click();
    EXPECT_TRUE(sign->text().startsWith(QStringLiteral("Camera moved 3.0 px: a distance in the "
                                                       "landing area changes by ")))
        << sign->text().toStdString();
    ASSERT_TRUE(follow->isVisibleTo(measure));
    QTest::mouseClick(follow, Qt::LeftButton);
    EXPECT_FALSE(follow->isVisibleTo(measure));
    EXPECT_TRUE(TestDirs::readFile(h.dirs.paths().debugLog()).contains("Camera followed on grid 1"));
    // The day's session log keeps it too, on a line of its own that names no file.
    const QString log = TestDirs::readFile(h.context().sessionLogPath);
    EXPECT_TRUE(log.contains(QRegularExpression(
        "\\d\\d-\\d\\d-\\d{4} +\\d\\d:\\d\\d:\\d\\d +Camera followed on grid 1: buoys moved 3\\.0")))
        << log.toStdString();

    measure->setSkierAndJump(QStringLiteral("Skier A"), QStringLiteral("1"));
    measure->pictureView().setZoom(1.0);
    const double x = toolValue(scene.out, "landing_x").toDouble() + 3.0;
    const double y = toolValue(scene.out, "landing_y").toDouble();
    const double truth = toolValue(scene.out, "landing_distance_m").toDouble() + 2.1;
    pressOnPicture(measure->pictureView(), {qRound(x), qRound(y)});
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    const double shown = h.control<QLineEdit>(ScreenId::Measure, "distance")->text().remove('m').toDouble();
    EXPECT_NEAR(shown, truth, 0.1); // the official tenth, from a click on a whole pixel

    h.prompter.choose(view);
    measure->LoadPict_Click();
    EXPECT_EQ(sign->text(), QStringLiteral("Camera steady"));
    EXPECT_EQ(h.context().grids().active().transform.c, asBuilt.transform.c);
}

// The first contact suggested for the frame measured shows as one faint ring while the check
// box (stored in the settings, on at first) is on; it is never a mark, and it does not show on
// a frame far from the suggested one.
TEST_F(MeasureScreen, TheSuggestedContactIsAFaintRingAndNeverAMark)
{
    auto *show = control<QCheckBox>("cbShowSuggestedContact");
    ASSERT_TRUE(show);
    EXPECT_TRUE(show->isChecked());
    JumpHandOver &handOver = h.context().handOver;
    handOver.jumpRecording = handOver.measuredVideoFile = h.dirs.file(QStringLiteral("jump.avi"));
    handOver.measuredFrame = 41; // frame 40, counted from 1
    handOver.suggestedContactFrame = 40;
    handOver.suggestedContactPoint = QPointF(300, 200);

    show->setChecked(false);
    const int withoutRing = measure->pictureView().drawingCount();
    EXPECT_FALSE(h.context().settings().readFlag(QStringLiteral("showSuggestedContact"), true));
    show->setChecked(true);
    EXPECT_EQ(measure->pictureView().drawingCount(), withoutRing + 1);
    EXPECT_TRUE(h.context().settings().readFlag(QStringLiteral("showSuggestedContact"), false));
    EXPECT_FALSE(measure->state().markPlaced);

    handOver.measuredFrame = 50;
    measure->show_the_grid();
    EXPECT_EQ(measure->pictureView().drawingCount(), withoutRing);
}
