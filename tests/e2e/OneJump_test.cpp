#include "support/Clicks.h"
#include "support/GridEntry.h"
#include "support/ProgramHarness.h"

#include "ui/app/Config.h"
#include "ui/app/MainForm.h"
#include "ui/common/PictureView.h"
#include "ui/grid_setup/Grid_Setup.h"
#include "ui/measure/Measure.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

void trigger(QWidget *screen, const char *menuItem)
{
    screen->findChild<QAction *>(QString::fromLatin1(menuItem))->trigger();
}

} // namespace

// A first day at the lake: the operator starts the program, sets the tournament up, builds the
// camera's grid on the grid setup screen, measures one jump and reads it back in the results.
TEST(OneJump, FromAFirstStartToARecordedDistance)
{
    ProgramHarness h;
    const QString setups = h.dirs.file(QStringLiteral("setups"));
    QDir().mkpath(setups);
    h.dirs.writeFramePicture(QColor(30, 70, 110));

    h.prompter.answer(Answer::No).type(h.videos());
    ASSERT_TRUE(h.program().start());
    QWidget *config = h.program().screen(ScreenId::Config);
    ASSERT_TRUE(config->isVisible());
    typeInto(h.control<QLineEdit>(ScreenId::Config, "TournamentName"), QStringLiteral("Lake Open"));
    typeInto(h.control<QLineEdit>(ScreenId::Config, "SetupFilesPathName"), setups);
    trigger(config, "mnuExit");
    MainForm &main = h.program().mainForm();
    ASSERT_TRUE(main.isVisible());

    // No grid yet: the measure screen is refused and grid setup opens instead.
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "ccmdGoToMeasure"), Qt::LeftButton);
    auto *setup = static_cast<Grid_Setup *>(h.program().screen(ScreenId::GridSetup));
    ASSERT_TRUE(setup->isVisible());
    EXPECT_FALSE(main.isVisible());
    trigger(setup, "mnuMeasurePic");

    enterStraightDownGridOnScreen(h, *setup);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::GridSetup, "Load"), Qt::LeftButton);
    h.prompter.choose(setups + QStringLiteral("/east.ipt")).type(QStringLiteral("East camera")).answer(Answer::Yes);
    trigger(setup, "gridSave");
    trigger(setup, "gridExit");
    ASSERT_TRUE(main.isVisible());
    EXPECT_FALSE(setup->isVisible());
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Main, "txtGridDescription_0")->text(), QStringLiteral("East camera"));

    // Measure: the frame picture, one click on the contact point, record.
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "ccmdGoToMeasure"), Qt::LeftButton);
    auto *measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
    ASSERT_TRUE(measure->isVisible());
    trigger(measure, "mnuPaste");
    measure->setSkierAndJump(QStringLiteral("Jane Doe"), QStringLiteral("2"));
    h.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    measure->pictureView().setZoom(1.0);
    pressOnPicture(measure->pictureView(), {400, 300});
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Measure, "distance")->text(), QStringLiteral(" 47.1m"));

    // The results viewer shows the day's file, configuration, grid and jump lines in order.
    trigger(measure, "mnuResults");
    const QString shown = h.program().screen(ScreenId::Results)->findChild<QPlainTextEdit *>()->toPlainText();
    const qsizetype configuration = shown.indexOf(QStringLiteral("New Configuration: 12-08-2026  09:28:39 Lake Open"));
    const qsizetype grid = shown.indexOf(QStringLiteral("New Set-up now in place"));
    const qsizetype jump = shown.indexOf(QStringLiteral(
        "12-08-2026 10:15:00 Jane Doe  jump 2 -  47.1m  (IWSF) 155ft  (AWSA) ( 60/ 45) ( 6000/ 4500) ( 47.1)"));
    EXPECT_GE(configuration, 0);
    EXPECT_GT(grid, configuration);
    EXPECT_GT(jump, grid);

    trigger(measure, "Exit");
    EXPECT_TRUE(main.isVisible());
}
