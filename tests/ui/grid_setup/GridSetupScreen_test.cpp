#include "support/Clicks.h"
#include "support/GridEntry.h"
#include "support/ProgramHarness.h"
#include "support/TestGrids.h"
#include "support/ToolRunner.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridEntryTexts.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/JumpDistance.h"
#include "core/grid_setup/GridFileCommands.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/simulation/SimulatedScene.h"
#include "ui/app/MainForm.h"
#include "ui/common/AccuracyMapSwitch.h"
#include "ui/common/PictureView.h"
#include "ui/grid_setup/Grid_Setup.h"
#include "ui/measure/Measure.h"

#include <QApplication>
#include <QCheckBox>
#include <QWheelEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

class GridSetupScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setupDir = h.dirs.file(QStringLiteral("setups"));
        QDir().mkpath(setupDir);
        h.store(QStringLiteral("SetupFiles"), setupDir);
        h.store(QStringLiteral("grids"), QString::number(gridCount));
        h.dirs.writeFramePicture();
        ASSERT_TRUE(h.startWithVideoDirectory());
        h.prompter.clear();
        h.context().navigationTag = QStringLiteral("SelectFrame");
        h.context().navigator().show(ScreenId::GridSetup);
        setup = static_cast<Grid_Setup *>(h.program().screen(ScreenId::GridSetup));
        ASSERT_TRUE(setup->isVisible());
        // The clicks below name whole picture pixels.
        setup->pictureView().setZoom(1.0);
    }

    template <typename W = QWidget>
    W *control(const char *name) { return h.control<W>(ScreenId::GridSetup, name); }
    QString fieldText(const char *name) { return control<QLineEdit>(name)->text(); }
    void type(const char *name, const QString &value) { typeInto(control<QLineEdit>(name), value); }
    void choose(const char *option) { control<QRadioButton>(option)->setChecked(true); }
    void clickPicture(QPoint pixels)
    {
        pressOnPicture(setup->pictureView(), pixels);
    }

    // Five clicks and the typed survey values of a straight-down camera, one twip a centimetre.
    void enterWholeGrid() { enterStraightDownGridOnScreen(h, *setup); }

    int gridCount = 1;
    ProgramHarness h;
    QString setupDir;
    Grid_Setup *setup = nullptr;
};

class TwoGridSetupScreen : public GridSetupScreen
{
protected:
    void SetUp() override
    {
        gridCount = 2;
        GridSetupScreen::SetUp();
    }
};

} // namespace

TEST_F(GridSetupScreen, ClicksPlaceTheChosenBuoyAndTheLockMovesThemAll)
{
    EXPECT_EQ(fieldText("txtPicWidth"),
              QStringLiteral("11981")); // whole twips; the checks keep the fraction
    EXPECT_EQ(setup->pictureWidthText(), QStringLiteral("11981.320754717"));
    clickPicture({200, 200}); // no buoy chosen: nothing happens
    EXPECT_EQ(fieldText("upper_left_x"), QStringLiteral("auto"));
    EXPECT_EQ(setup->markers().at(Buoy::UpperLeft).x, 0.0);

    // Locking is refused until every buoy is in place.
    clickIndicator(control<QCheckBox>("chkboxGridLock"));
    EXPECT_FALSE(control<QCheckBox>("chkboxGridLock")->isChecked());
    EXPECT_EQ(h.prompter.texts().last(), QStringLiteral(
        "Cannot Lock Grid Until buoy positions have been entered for all four buoys and check buoy"));

    enterWholeGrid();
    EXPECT_EQ(fieldText("upper_right_x"), QStringLiteral("11250"));
    EXPECT_EQ(fieldText("txtCheckYpix"), QStringLiteral("4500"));
    clickIndicator(control<QCheckBox>("chkboxGridLock"));
    ASSERT_TRUE(control<QCheckBox>("chkboxGridLock")->isChecked());
    EXPECT_TRUE(control<QWidget>("gridLockedLabel")->isVisibleTo(setup));

    choose("optCheckBuoy");
    clickPicture({402, 300}); // 30 twips right of the check buoy
    EXPECT_EQ(fieldText("txtCheckXpix"), QStringLiteral("6030"));
    EXPECT_EQ(fieldText("upper_left_x"), QStringLiteral("1530"));
    EXPECT_EQ(fieldText("lower_right_x"), QStringLiteral("11280"));
    EXPECT_EQ(fieldText("lower_right_y"), QStringLiteral("8250"));
    EXPECT_EQ(h.context().grids().active().corner(Corner::LowerRight).screen.x, 11280.0);

    // Unlocked, a nudge moves the chosen buoy only.
    clickIndicator(control<QCheckBox>("chkboxGridLock"));
    QTest::mouseClick(control<QWidget>("AdjustLeft"), Qt::LeftButton);
    EXPECT_EQ(fieldText("txtCheckXpix"), QStringLiteral("6015"));
    EXPECT_EQ(fieldText("upper_left_x"), QStringLiteral("1530"));
}

TEST_F(GridSetupScreen, HeldLeftAndUpMoveTheMarkerLeftOnly)
{
    choose("upper_left_button");
    clickPicture({100, 100});
    QTest::keyPress(setup, Qt::Key_Up);
    QTest::keyPress(setup, Qt::Key_Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return setup->markers().at(Buoy::UpperLeft).x <= 1500 - 30; }, 3000));
    QTest::keyRelease(setup, Qt::Key_Left);
    QTest::keyRelease(setup, Qt::Key_Up);
    EXPECT_EQ(setup->markers().at(Buoy::UpperLeft).y, 1500.0);
}

TEST_F(TwoGridSetupScreen, GridButtonCyclesThroughTheGridsInUse)
{
    auto *button = control<QPushButton>("grid_select");
    QStringList captions;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(button, Qt::LeftButton);
        captions << button->text();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Grid 2"), QStringLiteral("Grid 1"), QStringLiteral("Grid 2")}));
    const QByteArray debug = TestDirs::readFile(h.dirs.paths().debugLog());
    EXPECT_TRUE(debug.contains("Changed from grid 1 to grid 2\r\n"));
    EXPECT_TRUE(debug.contains("Changed from grid 2 to grid 1\r\n"));
}

TEST_F(GridSetupScreen, AWholeSetupThroughTheScreenMeasuresAfterARestart)
{
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton); // Complete
    ASSERT_TRUE(h.context().grids().gridLoaded(1)) << h.prompter.texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(h.context().grids().allGridsReady());
    EXPECT_EQ(h.context().gridIndicators[0].description, QStringLiteral("not saved"));
    EXPECT_TRUE(h.resultsText().contains(QStringLiteral("Check Buoy X,Y Pixels:  6000    4500 \r\n")));

    const QString path = setupDir + QStringLiteral("/east.ipt");
    h.prompter.choose(path).type(QStringLiteral("East camera, 2026")).answer(Answer::Yes);
    control<QWidget>("gridSave"); // the menu item exists under its name
    setup->gridSave_Click();
    EXPECT_EQ(h.prompter.prompts()[h.prompter.prompts().size() - 3].file.filterIndex, 3);
    EXPECT_EQ(h.prompter.texts().last(), QStringLiteral("Save Grid 1"));
    EXPECT_EQ(fieldText("ipt_file_description"), path);
    EXPECT_EQ(h.stored(QStringLiteral("grid1File")), path);
    ASSERT_TRUE(QFile::exists(path + QStringLiteral(".cb")));
    EXPECT_EQ(TestDirs::readFile(path + QStringLiteral(".cb")), QByteArray(" 6000 \r\n 4500 \r\n60\r\n45\r\n"));

    // The tool reads the saved grid: 45 m beyond the jump plus 2.1 m.
    const ToolRun tool = runTool({QStringLiteral("measure"), path, QStringLiteral("6000"), QStringLiteral("4500")});
    EXPECT_EQ(toolValue(tool.out, QStringLiteral("official_m")), QStringLiteral("47.1"));

    // A new run of the program loads the saved grid at start-up and measures with it.
    ProgramHarness again;
    QFile::copy(h.dirs.paths().settingsFile(), again.dirs.paths().settingsFile());
    again.store(QStringLiteral("logpath"), again.videos());
    again.prompter.answer(Answer::No);
    ASSERT_TRUE(again.program().start());
    ASSERT_TRUE(again.context().grids().allGridsReady());
    EXPECT_EQ(again.context().gridIndicators[0].description, QStringLiteral("East camera, 2026"));
    again.prompter.clear();
    again.context().navigator().show(ScreenId::Measure);
    auto *measure = static_cast<Measure *>(again.program().screen(ScreenId::Measure));
    measure->setSkierAndJump(QStringLiteral("Ann"), QStringLiteral("1"));
    QImage frame(800, 600, QImage::Format_RGB888);
    frame.fill(Qt::darkBlue);
    measure->pictureView().setPicture(frame);
    measure->pictureView().setZoom(1.0);
    pressOnPicture(measure->pictureView(), {400, 300});
    QTest::mouseClick(again.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    EXPECT_EQ(again.control<QLineEdit>(ScreenId::Measure, "distance")->text(), QStringLiteral(" 47.1m"));
}

TEST_F(GridSetupScreen, TypingChangesTheGridButLoadingAFileDoesNot)
{
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    const QString path = setupDir + QStringLiteral("/g.ipt");
    h.prompter.choose(path).type(QStringLiteral("west")).answer(Answer::Yes);
    setup->gridSave_Click();
    h.context().gridIndicators[0].picture = QStringLiteral("SmallSmiley.jpg");

    // Loading the file back fills every field without touching the settings or the indicator.
    h.prompter.choose(path);
    setup->gridLoad_Click();
    EXPECT_EQ(h.stored(QStringLiteral("grid1File")), path);
    EXPECT_EQ(h.context().gridIndicators[0].picture, QStringLiteral("SmallSmiley.jpg"));
    EXPECT_EQ(fieldText("ur_survey_x"), QStringLiteral("112.5"));
    EXPECT_EQ(fieldText("lower_left_y"), QStringLiteral("8250"));
    EXPECT_EQ(fieldText("jump_y"), QStringLiteral("45"));
    EXPECT_EQ(fieldText("txtCheckX"), QStringLiteral("60"));
    EXPECT_EQ(fieldText("ipt_file_description_2"), QStringLiteral("west"));
    EXPECT_TRUE(h.context().grids().gridLoaded(1));
    EXPECT_TRUE(h.resultsText().contains(QStringLiteral("Check Buoyt X,Y Survey:  60    45 \r\n")));

    // An operator's edit means the grid must be set up again before it is loaded at a start.
    type("ur_survey_x", QStringLiteral("112.6"));
    EXPECT_EQ(h.stored(QStringLiteral("grid1File")), QString());
    EXPECT_EQ(h.context().gridIndicators[0].picture, QStringLiteral("SmallCaution.jpg"));
    EXPECT_FALSE(h.context().grids().allGridsReady());
    EXPECT_EQ(h.context().grids().active().corner(Corner::UpperRight).survey.x, 112.6);
}

TEST_F(GridSetupScreen, AnOlderSetupWithoutCheckBuoyLoadsButIsNotUsable)
{
    enterWholeGrid();
    const QString path = setupDir + QStringLiteral("/old.ipt");
    h.prompter.choose(path).type(QStringLiteral("old")).answer(Answer::Yes);
    setup->gridSave_Click();
    QFile::remove(path + QStringLiteral(".cb"));

    h.prompter.clear();
    h.prompter.choose(path);
    setup->gridLoad_Click();
    EXPECT_TRUE(h.prompter.texts().contains(QStringLiteral(
        "I cannot find a  check  buoy file for this setup.  That means you are inputting an old set-up file that "
        "does not have a check buoy.  To complete the set up correctly, you must have a check buoy input to the set up.")));
    EXPECT_EQ(fieldText("txtCheckXpix"), QStringLiteral("auto"));
    EXPECT_EQ(fieldText("txtCheckX"), QString());
    EXPECT_FALSE(h.context().grids().gridLoaded(1));
    EXPECT_TRUE(h.resultsText().contains(QStringLiteral("No check buoy for this set up\r\n \r\n")));

    // Without the setup files folder, nothing is asked but where to change it.
    QDir(setupDir).removeRecursively();
    h.prompter.clear();
    setup->gridSave_Click();
    EXPECT_EQ(h.prompter.texts(), QStringList{QStringLiteral("Invalid path, change in configuration screen")});
}

TEST_F(GridSetupScreen, CalibrationLineRunsThroughSurveyedPointsAndLeavesThePicturesAsTheyWere)
{
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    h.context().navigator().show(ScreenId::Calibrate);
    auto *calibrate = h.program().screen(ScreenId::Calibrate);
    auto box = [&](const char *name) { return calibrate->findChild<QLineEdit *>(QString::fromLatin1(name)); };
    const int drawingsBefore = setup->pictureView().drawingCount();
    const QImage pictureBefore = setup->pictureView().picture();

    // The upper-left and upper-right corners: the line runs through their markers.
    box("CalibrationLineXActual")->setText(QStringLiteral("15"));
    box("CalibrationLineYActual")->setText(QStringLiteral("15"));
    box("CalibrationLineXActual2")->setText(QStringLiteral("112.5"));
    box("CalibrationLineYActual2")->setText(QStringLiteral("15"));
    auto *draw = calibrate->findChild<QPushButton *>(QStringLiteral("CalibrateLineDrawCommand"));
    QTest::mouseClick(draw, Qt::LeftButton);
    QTest::mouseClick(draw, Qt::LeftButton);
    EXPECT_EQ(box("CalibrationLineXTwips")->text(), QStringLiteral("1500"));
    EXPECT_EQ(box("CalibrationLineXTwips2")->text(), QStringLiteral("11250"));
    EXPECT_EQ(box("CalibrationLineYTwips2")->text(), QStringLiteral("1500"));
    const auto line = setup->pictureView().namedLine(QStringLiteral("calibrationLine"));
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->second.x, 11250.0);
    EXPECT_EQ(setup->pictureView().drawingCount(), drawingsBefore); // drawn apart from the markers

    // From the picture: survey values to the centimetre.
    QTest::mouseClick(calibrate->findChild<QPushButton *>(QStringLiteral("CalibrationLineUnitsSelect")), Qt::LeftButton);
    box("CalibrationLineXTwips")->setText(QStringLiteral("6001"));
    box("CalibrationLineYTwips")->setText(QStringLiteral("4500"));
    QTest::mouseClick(draw, Qt::LeftButton);
    EXPECT_EQ(box("CalibrationLineXActual")->text(), QStringLiteral("60.01"));
    EXPECT_EQ(box("CalibrationLineYActual")->text(), QStringLiteral("45"));

    QTest::mouseClick(calibrate->findChild<QPushButton *>(QStringLiteral("CalibrationLineErase")), Qt::LeftButton);
    EXPECT_FALSE(setup->pictureView().namedLineVisible(QStringLiteral("calibrationLine")));
    EXPECT_EQ(setup->pictureView().picture(), pictureBefore);
    EXPECT_EQ(setup->pictureView().drawingCount(), drawingsBefore);
}

TEST_F(GridSetupScreen, AccuracyCheckShowsTheChosenLineAndKeepsItsReport)
{
    auto *accuracy = control<QPushButton>("btnAccuracyCheck");
    EXPECT_FALSE(accuracy->isEnabled()); // nothing completed yet
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    ASSERT_TRUE(accuracy->isEnabled());
    EXPECT_FALSE(control<QWidget>("fmAccuracyConfig")->isVisibleTo(setup)); // standard mode

    h.prompter.clear();
    h.prompter.type(QStringLiteral("0")).type(QStringLiteral("8")).type(QString()).type(QStringLiteral("4"));
    QTest::mouseClick(accuracy, Qt::LeftButton);
    EXPECT_EQ(h.prompter.texts().count(QStringLiteral("Pick the line number that best represents where the skier will land")), 4);
    QWidget *canvas = setup->pictureView().canvas();
    QStringList shown;
    for (int k = 0; k < 49; ++k) {
        auto *label = canvas->findChild<QLabel *>(QStringLiteral("AccuracyIndicator_%1").arg(k));
        if (label->isVisibleTo(canvas))
            shown << QString::number(k) + QLatin1Char('=') + label->text();
    }
    // One centimetre a twip: a pixel moves a distance by 0.15 m at most, grade "L" or better.
    ASSERT_EQ(shown.size(), 7);
    EXPECT_TRUE(shown.first().startsWith(QStringLiteral("3=")));
    EXPECT_TRUE(shown.last().startsWith(QStringLiteral("45=")));
    EXPECT_FALSE(canvas->findChild<QLabel *>(QStringLiteral("LineLabel_0"))->isVisibleTo(canvas));
    const QByteArray report = TestDirs::readFile(h.videos() + QStringLiteral("/acc1208.txt"));
    EXPECT_TRUE(report.startsWith("12-08-2026  09:28:39 Accuracy Check\r\nGrid Set-up for accuracy check\r\n"));
    EXPECT_TRUE(report.contains("Accuracy Check Complete\r\n"));

    // A change of any entry clears the grades and disables the check until completed again.
    type("jump_x", QStringLiteral("16"));
    EXPECT_FALSE(accuracy->isEnabled());
    EXPECT_FALSE(canvas->findChild<QLabel *>(QStringLiteral("AccuracyIndicator_3"))->isVisibleTo(canvas));
}

TEST_F(TwoGridSetupScreen, LookingAtTheGridsDoesNotUndoTheirReadiness)
{
    // Two grids completed on screen, the operator leaves while grid 2 is on show.
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("grid_select"), Qt::LeftButton);
    ASSERT_EQ(control<QPushButton>("grid_select")->text(), QStringLiteral("Grid 2"));
    enterWholeGrid();
    type("jump_y", QStringLiteral("46"));
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    ASSERT_TRUE(h.context().grids().allGridsReady());

    setup->gridExit_Click();
    EXPECT_TRUE(h.context().grids().allGridsReady());
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), QStringLiteral("Grid 1"));
    EXPECT_EQ(fieldText("jump_y"), QStringLiteral("45"));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "ccmdGoToMeasure"), Qt::LeftButton);
    EXPECT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
}

TEST(GridSetupAfterStart, OpeningTheScreenKeepsTheGridsLoadedAtStartReady)
{
    ProgramHarness h;
    const QString path = h.dirs.file(QStringLiteral("grid1.ipt"));
    ASSERT_FALSE(writeGridSetupFile(path, straightDownGrid(), 1));
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {6000, 4500}, QStringLiteral("60"), QStringLiteral("45")));
    h.store(QStringLiteral("grid1File"), path);
    ASSERT_TRUE(h.startWithVideoDirectory());
    ASSERT_TRUE(h.context().grids().allGridsReady());

    h.context().navigator().show(ScreenId::GridSetup);
    auto *setup = static_cast<Grid_Setup *>(h.program().screen(ScreenId::GridSetup));
    EXPECT_EQ(setup->findChild<QLineEdit *>(QStringLiteral("upper_right_x"))->text(), QStringLiteral("10500"));
    EXPECT_TRUE(h.context().grids().allGridsReady());
    EXPECT_EQ(h.stored(QStringLiteral("grid1File")), path); // showing is not changing
    setup->gridExit_Click();
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_TRUE(h.context().grids().allGridsReady());
}

// The keyboard belongs to the screen in front: an arrow pressed on the measure screen must not
// move a buoy when the grid setup screen comes back.
TEST_F(GridSetupScreen, ArrowsPressedOnAnotherScreenMoveNoBuoy)
{
    choose("upper_left_button");
    clickPicture({100, 100});
    ASSERT_EQ(fieldText("upper_left_y"), QStringLiteral("1500"));

    h.context().navigator().show(ScreenId::Measure);
    QWidget *measure = h.program().screen(ScreenId::Measure);
    QWidget *elsewhere = measure->findChild<QWidget *>(QStringLiteral("distance_ft"));
    QTest::keyPress(elsewhere, Qt::Key_Up);
    QTest::keyRelease(elsewhere, Qt::Key_Up);

    h.context().navigator().show(ScreenId::GridSetup);
    QSignalSpy ticks(setup->findChild<QTimer *>(QStringLiteral("keyTimer")), &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 3; }, 3000));
    EXPECT_EQ(fieldText("upper_left_y"), QStringLiteral("1500"));
    EXPECT_EQ(setup->markers().at(Buoy::UpperLeft).y, 1500.0);

    // Its own keys still move the chosen buoy.
    QTest::keyPress(setup, Qt::Key_Up);
    QTest::keyRelease(setup, Qt::Key_Up);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return fieldText("upper_left_y") == QLatin1String("1485"); }, 3000));
}

// A grid loaded from a file whose values differ from what the fields showed is ready for
// measuring: filling the fields must not undo that.
TEST_F(GridSetupScreen, LoadingADifferentGridMakesItReadyForMeasuring)
{
    const QString path = setupDir + QStringLiteral("/east.ipt");
    ASSERT_FALSE(writeGridSetupFile(path, straightDownGrid(), 1));
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {6000, 4500}, QStringLiteral("60"),
                                    QStringLiteral("45")));
    ASSERT_EQ(fieldText("ul_survey_x"), QStringLiteral("input"));

    h.prompter.choose(path);
    setup->gridLoad_Click();
    EXPECT_EQ(fieldText("ur_survey_x"), QStringLiteral("105"));
    EXPECT_TRUE(h.context().grids().allGridsReady());
    EXPECT_TRUE(TestDirs::readFile(h.dirs.paths().debugLog()).contains("1 grid - OK\r\n"));

    // Leaving asks nothing, and the measure screen is open to the operator.
    h.prompter.clear();
    setup->gridExit_Click();
    EXPECT_TRUE(h.prompter.prompts().isEmpty())
        << h.prompter.texts().join(QStringLiteral(" | ")).toStdString();
    ASSERT_TRUE(h.program().mainForm().isVisible());
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "ccmdGoToMeasure"), Qt::LeftButton);
    EXPECT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
}

// Closing the window by its frame is the way back: it asks about grids not set up, and "No"
// keeps the operator on the screen.
TEST_F(GridSetupScreen, ClosingByTheFrameAsksAboutGridsNotSetUp)
{
    const QString question =
        QStringLiteral("Do you want to leave the grid setup with all configured grids not setup?");
    h.prompter.answer(Answer::No);
    setup->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(h.prompter.texts(), QStringList{question});
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(h.program().mainForm().isVisible());

    h.prompter.answer(Answer::Yes);
    setup->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(setup->isVisible());
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_TRUE(
        TestDirs::readFile(h.dirs.paths().debugLog()).contains("status on exit of grid setup\r\n"));
}

// A name typed without an extension is saved as a grid setup file that Load File finds again;
// the default folder is "grids" in the video folder, made when first needed.
TEST(GridSetupFirstStart, TheFirstGridIsSavedInTheDefaultFolderAsAnIptFile)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.context().navigator().show(ScreenId::GridSetup);
    auto *setup = static_cast<Grid_Setup *>(h.program().screen(ScreenId::GridSetup));
    enterStraightDownGridOnScreen(h, *setup);

    const QString grids = h.videos() + QStringLiteral("/grids");
    ASSERT_FALSE(QFileInfo::exists(grids));
    h.prompter.choose(grids + QStringLiteral("/east"))
        .type(QStringLiteral("East camera"))
        .answer(Answer::Yes);
    setup->gridSave_Click();
    EXPECT_EQ(h.prompter.prompts().first().file.startDirectory, grids);
    EXPECT_TRUE(QFileInfo::exists(grids + QStringLiteral("/east.ipt")));
    EXPECT_TRUE(QFileInfo::exists(grids + QStringLiteral("/east.ipt.cb")));
    EXPECT_EQ(h.stored(QStringLiteral("grid1File")), grids + QStringLiteral("/east.ipt"));
    EXPECT_EQ(setup->findChild<QLineEdit *>(QStringLiteral("ipt_file_description"))->text(),
              grids + QStringLiteral("/east.ipt"));
}

// Text typed after a not-entered text is no number: the field says so before Complete does.
TEST_F(GridSetupScreen, SurveyFieldsTakeTypingWholeAndShowWrongText)
{
    auto *ulx = control<QLineEdit>("ul_survey_x");
    QFocusEvent clickedInto(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(ulx, &clickedInto);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ulx->selectedText() == QLatin1String("input"); }, 2000));
    QTest::keyClicks(ulx, QStringLiteral("20"));
    EXPECT_EQ(ulx->text(), QStringLiteral("20"));
    EXPECT_FALSE(ulx->property("entryWrong").toBool());

    ulx->setText(QStringLiteral("input20"));
    EXPECT_TRUE(ulx->property("entryWrong").toBool());
    ulx->setText(QStringLiteral("input"));
    EXPECT_FALSE(ulx->property("entryWrong").toBool());

    // Tab goes down the survey X column and never into a screen field.
    EXPECT_EQ(ulx->nextInFocusChain(), control<QWidget>("ur_survey_x"));
    EXPECT_EQ(control<QWidget>("txtCheckX")->nextInFocusChain(), control<QWidget>("jump_x"));
    EXPECT_EQ(control<QWidget>("jump_x")->nextInFocusChain(), control<QWidget>("ul_survey_y"));
    EXPECT_EQ(control<QWidget>("upper_left_x")->focusPolicy() & Qt::TabFocus, 0);
}

// Buoys clicked on the fitted picture land on the pixels under the mouse, and the grid they make
// is the grid the same pixels make at 1:1: the same transform, the same distances.
TEST_F(GridSetupScreen, AGridBuiltAtFitMeasuresAsOneBuiltAtOneToOne)
{
    PictureView &view = setup->pictureView();
    // Each buoy with its screen fields and its survey fields.
    const std::tuple<const char *, QPointF, const char *, const char *, const char *, const char *> buoys[] = {
        {"upper_left_button", {100, 100}, "upper_left_x", "upper_left_y", "ul_survey_x", "ul_survey_y"},
        {"upper_right_button", {750, 100}, "upper_right_x", "upper_right_y", "ur_survey_x", "ur_survey_y"},
        {"lower_left_button", {100, 550}, "lower_left_x", "lower_left_y", "ll_survey_x", "ll_survey_y"},
        {"lower_right_button", {750, 550}, "lower_right_x", "lower_right_y", "lr_survey_x", "lr_survey_y"},
        {"optCheckBuoy", {400, 300}, "txtCheckXpix", "txtCheckYpix", "txtCheckX", "txtCheckY"}};

    view.fitToView();
    const double fit = view.scale().zoom();
    ASSERT_LT(fit, 1.0); // the 800 x 600 picture is larger than the view
    std::vector<QPointF> landed;
    for (const auto &[option, pixel, fieldX, fieldY, surveyX, surveyY] : buoys) {
        choose(option);
        const QPoint at = canvasPointOf(view, pixel);
        QTest::mousePress(view.canvas(), Qt::LeftButton, {}, at);
        const ScreenPoint mark = view.scale().markAt(at);
        EXPECT_NEAR(mark.x, pixel.x() * 15, 7.5 / fit + 7.5) << option;
        EXPECT_NEAR(mark.y, pixel.y() * 15, 7.5 / fit + 7.5) << option;
        EXPECT_EQ(fieldText(fieldX), CStr(mark.x));
        EXPECT_EQ(fieldText(fieldY), CStr(mark.y));
        landed.emplace_back(mark.x / 15, mark.y / 15);
        // Straight down, a centimetre a twip: the buoys are surveyed where they show.
        type(surveyX, CStr(mark.x / 100));
        type(surveyY, CStr(mark.y / 100));
    }
    type("jump_x", QStringLiteral("15"));
    type("jump_y", QStringLiteral("45"));
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    ASSERT_TRUE(h.context().grids().gridLoaded(1)) << h.prompter.texts().join('|').toStdString();
    const GridTransform atFit = h.context().grids().active().transform;

    view.setZoom(1.0);
    size_t i = 0;
    for (const auto &[option, pixel, fieldX, fieldY, surveyX, surveyY] : buoys) {
        choose(option);
        pressOnPicture(view, landed[i++]);
    }
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    ASSERT_TRUE(h.context().grids().gridLoaded(1));
    EXPECT_EQ(h.context().grids().active().transform.c, atFit.c);
    for (const ScreenPoint p : {ScreenPoint{6000, 4500}, ScreenPoint{2003.75, 7010.625}}) {
        GridStore fitted = h.context().grids();
        fitted.active().transform = atFit;
        EXPECT_EQ(distance_calculation(fitted, TournamentType::Normal, p)->distanceMetres,
                  distance_calculation(h.context().grids(), TournamentType::Normal, p)->distanceMetres);
    }

    // The accuracy map of the completed grid, over the picture, at any zoom.
    auto *map = view.findChild<AccuracyMapSwitch *>(QStringLiteral("btnAccuracyMap"));
    ASSERT_NE(map, nullptr);
    QTest::mouseClick(map, Qt::LeftButton);
    EXPECT_TRUE(view.overlayShown());
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("accuracyMapLegend"))->isVisibleTo(setup));
    EXPECT_EQ(map->map().size(), QSize(800, 600));
    const AccuracyMapCounts counts = map->map().counts();
    EXPECT_GT(counts.r + counts.l, 600 * 400); // a centimetre a twip: R or L all over
    view.setZoom(4.0);
    EXPECT_TRUE(view.overlayShown());
    QTest::mouseClick(map, Qt::LeftButton);
    EXPECT_FALSE(view.overlayShown());

    // A nudge at 4x keeps its step of one pixel.
    choose("optCheckBuoy");
    QTest::mousePress(view.canvas(), Qt::LeftButton, {}, canvasPointOf(view, {400, 300}) + QPoint(1, 0));
    EXPECT_EQ(fieldText("txtCheckXpix"), QStringLiteral("6003.75"));
    QTest::mouseClick(control<QWidget>("AdjustLeft"), Qt::LeftButton);
    EXPECT_EQ(fieldText("txtCheckXpix"), QStringLiteral("5988.75"));
}

// Complete on a ready grid keeps it ready; a Complete that fails leaves the markers as they
// were; a box that holds no number is named, not reported as a check buoy that fails.
TEST_F(GridSetupScreen, CompleteKeepsAReadyGridReadyAndAFailureKeepsTheMarks)
{
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    ASSERT_TRUE(h.context().grids().allGridsReady()) << h.prompter.texts().join('|').toStdString();
    h.prompter.clear();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    EXPECT_TRUE(h.context().grids().gridLoaded(1));
    EXPECT_TRUE(h.context().grids().allGridsReady()) << h.prompter.texts().join('|').toStdString();

    const int drawn = setup->pictureView().drawingCount();
    ASSERT_GT(drawn, 0);
    // The lower right buoy surveyed where the upper right one is: no transform.
    const QString x = fieldText("lr_survey_x");
    const QString y = fieldText("lr_survey_y");
    type("lr_survey_x", fieldText("ur_survey_x"));
    type("lr_survey_y", fieldText("ur_survey_y"));
    h.prompter.clear();
    h.prompter.answer(Answer::Ok);
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    EXPECT_FALSE(h.context().grids().allGridsReady());
    EXPECT_EQ(setup->pictureView().drawingCount(), drawn);

    type("lr_survey_x", x);
    type("lr_survey_y", y);
    control<QLineEdit>("ul_survey_x")->setText(QStringLiteral("1a5")); // typing refuses the letter
    h.prompter.clear();
    h.prompter.answer(Answer::Ok);
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    EXPECT_EQ(h.prompter.texts(), QStringList{notANumberText(QStringLiteral("upper left buoy, survey X"))});
    EXPECT_EQ(setup->pictureView().drawingCount(), drawn);
    EXPECT_FALSE(h.context().grids().gridLoaded(1) && h.context().grids().allGridsReady());
}

// A name typed without ".ipt" is saved as NAME.ipt: an existing NAME.ipt is asked about
// before it is replaced.
TEST_F(GridSetupScreen, SavingUnderANameWithoutExtensionAsksBeforeReplacingTheGridFile)
{
    enterWholeGrid();
    const QString existing = h.dirs.writeFile(QStringLiteral("setups/east.ipt"), "kept grid");
    h.prompter.clear();
    h.prompter.choose(setupDir + QStringLiteral("/east")).answer(Answer::No);
    setup->gridSave_Click();
    ASSERT_EQ(h.prompter.prompts().size(), 2);
    EXPECT_EQ(h.prompter.prompts().last().text, gridFileExistsText(existing));
    EXPECT_EQ(h.prompter.prompts().last().defaultAnswer, Answer::No);
    EXPECT_EQ(TestDirs::readFile(existing), QByteArray("kept grid"));

    h.prompter.clear();
    h.prompter.choose(setupDir + QStringLiteral("/east")).answer(Answer::Yes)
        .type(QStringLiteral("East")).answer(Answer::Yes);
    setup->gridSave_Click();
    EXPECT_NE(TestDirs::readFile(existing), QByteArray("kept grid"));
}

// The wheel zooms about the point under the mouse: the buoy under it stays under it.
TEST_F(GridSetupScreen, WheelZoomKeepsThePointUnderTheMouse)
{
    // The screen the program is made for: the fitted picture is not shrunk below a quarter.
    setup->setWindowState(Qt::WindowNoState);
    setup->setGeometry(0, 0, 1366, 768 - 30);
    PictureView &view = setup->pictureView();
    view.fitToView();
    const QPoint over = canvasPointOf(view, {600, 450});
    const QPoint inViewport = view.canvas()->mapTo(view.viewport(), over);
    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent wheel(QPointF(view.canvas()->mapFrom(view.viewport(), inViewport)),
                          QPointF(view.canvas()->mapToGlobal(view.canvas()->mapFrom(view.viewport(), inViewport))),
                          QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.canvas(), &wheel);
    }
    EXPECT_GT(view.scale().zoom(), 1.0);
    const ScreenPoint under = view.scale().markAt(view.canvas()->mapFrom(view.viewport(), inViewport));
    EXPECT_NEAR(under.x, 600 * 15, 15);
    EXPECT_NEAR(under.y, 450 * 15, 15);
}

// The position and survey boxes take signed numbers only; the words the program puts there
// stay readable and can be deleted.
TEST_F(GridSetupScreen, PositionAndSurveyBoxesTakeOnlyNumbers)
{
    auto *survey = control<QLineEdit>("ul_survey_x");
    typeInto(survey, QStringLiteral("a-12.5b"));
    EXPECT_EQ(survey->text(), QStringLiteral("-12.5"));
    auto *jump = control<QLineEdit>("jump_y");
    jump->end(false);
    QTest::keyClicks(jump, QStringLiteral("7"));
    EXPECT_EQ(jump->text(), QStringLiteral("jump y"));
    QTest::keyClick(jump, Qt::Key_Backspace);
    EXPECT_EQ(jump->text(), QStringLiteral("jump "));
    auto *screen = control<QLineEdit>("upper_left_x");
    typeInto(screen, QStringLiteral("x"));
    EXPECT_EQ(screen->text(), QStringLiteral("auto"));
    choose("upper_left_button");
    clickPicture({100, 50});
    EXPECT_EQ(screen->text(), QStringLiteral("1500")); // a click still writes its position
}

// Only buoys placed have markers: nothing stands at the picture's corner before the first click.
TEST_F(GridSetupScreen, MarkersAreDrawnOnlyForBuoysPlaced)
{
    PictureView &view = setup->pictureView();
    setup->Show_grid();
    EXPECT_EQ(view.drawingCount(), 0);
    choose("upper_left_button");
    clickPicture({100, 50});
    setup->Show_grid();
    EXPECT_EQ(view.drawingCount(), 6); // one circle with its five dots
    EXPECT_FALSE(setup->markers().isPlaced(Buoy::CheckBuoy));
}

// The positions and survey values of a grid built on the simulated camera's view (long
// fractions of twips) read whole on a 1366 x 768 screen.
TEST_F(GridSetupScreen, EveryValueOfTheSimulatedViewsGridShowsWhole)
{
    const QString path = setupDir + QStringLiteral("/scene.ipt");
    ASSERT_EQ(runTool({"scene", "--write-grid", path}).exitCode, 0);
    h.prompter.choose(path);
    setup->gridLoad_Click();
    setup->setWindowState(Qt::WindowNoState);
    setup->setGeometry(0, 0, 1366, 768 - 30);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(setup));
    QApplication::processEvents();

    const GridEntryTexts t = setup->entryTexts();
    ASSERT_EQ(t.upper_left_x.size(), 16) << t.upper_left_x.toStdString(); // 15 digits and a point
    int checked = 0;
    for (QLineEdit *edit : setup->findChildren<QLineEdit *>()) {
        const QString name = edit->objectName();
        if (!name.endsWith(QLatin1String("_x")) && !name.endsWith(QLatin1String("_y")) &&
            !name.startsWith(QLatin1String("txtCheck")))
            continue;
        ++checked;
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        const int room = edit->width() - 2 * frame - 4; // less the box's own inner margin
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), room)
            << name.toStdString() << " = " << edit->text().toStdString();
        const QRect at(edit->mapTo(setup, QPoint(0, 0)), edit->size());
        EXPECT_TRUE(setup->rect().contains(at)) << name.toStdString();
        EXPECT_EQ(edit->toolTip(), edit->text());
    }
    EXPECT_EQ(checked, 22);
    EXPECT_GT(setup->pictureView().width(), 640); // the picture keeps most of the screen
}

// The grade letters of the accuracy check come with the accuracy map's legend.
TEST_F(GridSetupScreen, TheAccuracyChecksGradesHaveALegend)
{
    enterWholeGrid();
    QTest::mouseClick(control<QPushButton>("Load"), Qt::LeftButton);
    auto *legend = setup->pictureView().viewport()->findChild<QLabel *>(
        QStringLiteral("accuracyCheckLegend"));
    ASSERT_NE(legend, nullptr);
    EXPECT_FALSE(legend->isVisibleTo(setup));
    h.prompter.clear();
    h.prompter.type(QStringLiteral("4"));
    QTest::mouseClick(control<QPushButton>("btnAccuracyCheck"), Qt::LeftButton);
    EXPECT_TRUE(legend->isVisibleTo(setup));
    type("jump_x", QStringLiteral("16")); // a change clears the grades and their legend
    EXPECT_FALSE(legend->isVisibleTo(setup));
}

// Saving or loading a grid remembers the size of the picture it stands on, beside the grid's file
// name in the settings; the grid file itself is written as always.
TEST_F(GridSetupScreen, TheGridsPictureSizeIsKeptBesideItsFile)
{
    enterWholeGrid();
    const QString path = setupDir + QStringLiteral("/sized.ipt");
    h.prompter.choose(path).type(QStringLiteral("west")).answer(Answer::Yes);
    setup->gridSave_Click();
    EXPECT_EQ(h.stored(QStringLiteral("grid1PictureSize")), QStringLiteral("800x600"));

    QImage wide(1280, 720, QImage::Format_RGB888);
    wide.fill(Qt::darkBlue);
    setup->pictureView().setPicture(wide);
    h.prompter.choose(path);
    setup->gridLoad_Click();
    EXPECT_EQ(h.stored(QStringLiteral("grid1PictureSize")), QStringLiteral("1280x720"));
}

// With "Snap to buoy" (on at first, kept in the settings) a click beside a buoy puts the marker
// on its centre and says so; with it off the marker goes where clicked.
TEST_F(GridSetupScreen, AClickBesideABuoySnapsToItsCentre)
{
    const SimulatedScene scene;
    const QSize size(1280, 720);
    setup->pictureView().setPicture(scene.render(size, 1.0, std::nullopt, 0));
    setup->pictureView().setZoom(1.0);
    const QPointF truth = scene.pictureOf(scene.course().upperLeft, size);
    auto *snap = control<QCheckBox>("chkSnapToBuoy");
    ASSERT_TRUE(snap->isChecked());

    choose("upper_left_button");
    clickPicture({qRound(truth.x()) + 3, qRound(truth.y()) - 2});
    EXPECT_NEAR(fieldText("upper_left_x").toDouble() / 15.0, truth.x(), 0.2);
    EXPECT_NEAR(fieldText("upper_left_y").toDouble() / 15.0, truth.y(), 0.2);
    EXPECT_TRUE(control<QLabel>("lblCompleteStatus")->text().startsWith(
        QStringLiteral("Buoy found, centre moved ")));

    snap->click();
    EXPECT_EQ(h.stored(QStringLiteral("snapToBuoy")), QStringLiteral("False"));
    clickPicture({qRound(truth.x()) + 3, qRound(truth.y()) - 2});
    EXPECT_EQ(fieldText("upper_left_x").toDouble(), (qRound(truth.x()) + 3) * 15.0);
}
