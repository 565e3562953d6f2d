#include "support/Clicks.h"
#include "support/GridEntry.h"
#include "support/ProgramHarness.h"
#include "support/TestGrids.h"

#include "core/geometry/GridTransformSolver.h"
#include "core/grid_setup/GridSetupFile.h"
#include "ui/app/Config.h"
#include "ui/app/MainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

bool checked(ProgramHarness &h, const char *name)
{
    auto *b = h.control<QAbstractButton>(ScreenId::Config, name);
    return b && b->isChecked();
}

Config *configScreen(ProgramHarness &h)
{
    return static_cast<Config *>(h.program().screen(ScreenId::Config));
}

// The names the measure screen offers once it is shown.
QStringList measureSkierList(ProgramHarness &h)
{
    h.context().navigator().show(ScreenId::Measure);
    auto *list = h.control<QComboBox>(ScreenId::Measure, "Skier_name");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    return names;
}

// Writes a grid file (with a check buoy file unless told otherwise) and names it in the settings.
QString storeGrid(ProgramHarness &h, int n, const QString &description, bool withCheckBuoy = true)
{
    Grid g = perspectiveGrid();
    g.description = description;
    const QString path = h.dirs.file(QStringLiteral("grid%1.ipt").arg(n));
    writeGridSetupFile(path, g, n);
    if (withCheckBuoy)
        writeCheckBuoyFile(checkBuoyFilePath(path), {6000, 4000}, QStringLiteral("20"), QStringLiteral("40"));
    h.store(QStringLiteral("grid%1File").arg(n), path);
    return path;
}

} // namespace

TEST(ConfigScreen, FirstStartShowsTheDefaults)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    for (const char *name : {"Opt1Grid", "default_color", "OptImpactWhite", "OptCircle", "OptPictureAsk",
                             "OptVideoAsk", "left_to_right_button", "line_control_check"})
        EXPECT_TRUE(checked(h, name)) << name;
    for (const char *name : {"Barefoot_box", "SitSki_box", "WSTIMS", "chkLoupe", "chkBadSetup"})
        EXPECT_FALSE(checked(h, name)) << name;
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Config, "ResultsPathName")->text(),
              h.videos() + QStringLiteral("/JumpMeasurementResults120826.txt"));
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Config, "CapturesPathName")->text(), h.videos());
    EXPECT_EQ(h.context().tournament().tournamentType, TournamentType::Normal);
    EXPECT_FALSE(h.control<QLabel>(ScreenId::Config, "QVIOLabel")->isVisible());

    // Grid 1 is in use and has no file: the caution picture; grids 2 and 3 are not shown.
    EXPECT_TRUE(h.context().gridIndicators[0].visible);
    EXPECT_EQ(h.context().gridIndicators[0].picture, QStringLiteral("SmallCaution.jpg"));
    EXPECT_FALSE(h.context().gridIndicators[1].visible);
    EXPECT_FALSE(h.context().grids().allGridsReady());
}

TEST(ConfigScreen, BarefootAndSitSkiExcludeEachOther)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    auto *barefoot = h.control<QCheckBox>(ScreenId::Config, "Barefoot_box");
    auto *sitski = h.control<QCheckBox>(ScreenId::Config, "SitSki_box");
    clickIndicator(barefoot);
    EXPECT_EQ(h.stored(QStringLiteral("tournamentType")), QStringLiteral("barefoot"));
    clickIndicator(sitski);
    EXPECT_FALSE(barefoot->isChecked());
    EXPECT_TRUE(sitski->isChecked());
    EXPECT_EQ(h.stored(QStringLiteral("tournamentType")), QStringLiteral("sitski"));
    EXPECT_EQ(h.context().tournament().tournamentType, TournamentType::SitSki);
    clickIndicator(sitski);
    EXPECT_EQ(h.stored(QStringLiteral("tournamentType")), QStringLiteral("normal"));
    EXPECT_EQ(h.context().tournament().tournamentType, TournamentType::Normal);

    // Choices are stored the moment they are made; a keeping option applies from the next jump.
    clickIndicator(h.control<QRadioButton>(ScreenId::Config, "OptPictureNoSave"));
    EXPECT_EQ(h.stored(QStringLiteral("PictureSave")), QStringLiteral("NoSave"));
    EXPECT_EQ(h.context().tournament().pictureSavePolicy, SavePolicy::NoSave);
    clickIndicator(h.control<QRadioButton>(ScreenId::Config, "OptVideoSave"));
    EXPECT_EQ(h.stored(QStringLiteral("VideoSave")), QStringLiteral("Save"));
    EXPECT_EQ(h.context().tournament().videoSavePolicy, SavePolicy::Save);
    clickIndicator(h.control<QRadioButton>(ScreenId::Config, "right_to_left_button"));
    EXPECT_EQ(h.stored(QStringLiteral("right2left")), QStringLiteral("True"));
    clickIndicator(h.control<QCheckBox>(ScreenId::Config, "WSTIMS"));
    EXPECT_EQ(h.stored(QStringLiteral("WSTIMS")), QStringLiteral("1"));
    EXPECT_TRUE(h.control<QLabel>(ScreenId::Config, "QVIOLabel")->isVisible());
}

TEST(ConfigScreen, StoredGridCountsSelectTheirOption)
{
    const std::pair<const char *, const char *> cases[] = {
        {"0", "Opt1Grid"}, {"2", "Opt2grid"}, {"3", "Opt3grid"}, {"7", "Opt1Grid"}};
    for (const auto &[value, option] : cases) {
        ProgramHarness h;
        h.store(QStringLiteral("grids"), QString::fromLatin1(value));
        ASSERT_TRUE(h.startWithVideoDirectory());
        EXPECT_TRUE(checked(h, option)) << value;
        const int count = h.context().grids().gridCount();
        EXPECT_EQ(h.stored(QStringLiteral("grids")), QString::number(count)) << value;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(h.context().gridIndicators[static_cast<size_t>(i)].visible, i < count) << value;
    }
}

TEST(ConfigScreen, StartupLoadsEveryStoredGridWithGridOneLast)
{
    ProgramHarness h;
    storeGrid(h, 1, QStringLiteral("east camera"));
    storeGrid(h, 3, QStringLiteral("third camera"));
    storeGrid(h, 2, QStringLiteral("old setup"), false);
    ASSERT_TRUE(h.startWithVideoDirectory());

    EXPECT_TRUE(h.prompter.texts().contains(QStringLiteral("Error in load - no check buoy found - setup grid again")));
    EXPECT_TRUE(h.context().grids().gridLoaded(1));
    EXPECT_FALSE(h.context().grids().gridLoaded(2));
    EXPECT_TRUE(h.context().grids().gridLoaded(3));
    EXPECT_TRUE(h.context().grids().allGridsReady()); // one grid in use, and it is loaded
    EXPECT_EQ(h.context().grids().currentGrid(), 1);
    EXPECT_EQ(h.context().grids().active().description, QStringLiteral("east camera"));
    EXPECT_EQ(h.context().gridIndicators[0].picture, QStringLiteral("SmallSmiley.jpg"));
    EXPECT_EQ(h.context().gridIndicators[0].description, QStringLiteral("east camera"));

    // Two records, grid 3 first, with the start-up labels.
    const QString results = h.resultsText();
    EXPECT_EQ(results.count(QStringLiteral("New Set-up now in place")), 2);
    EXPECT_LT(results.indexOf(QStringLiteral("Grid Number:  3 ")), results.indexOf(QStringLiteral("Grid Number:  1 ")));
    EXPECT_TRUE(results.contains(QStringLiteral("\r\nUpper Right X,Y Twips: 10200  1600\r\n")));
    EXPECT_TRUE(results.contains(QStringLiteral("\r\nCheck Buoy X,Y Twips: 6000  4000\r\nCheck Buoy X,Y Survey: 20  40\r\n \r\n")));
}

TEST(ConfigScreen, ExitRecordsTheConfigurationAndReadsTheSkierNames)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.control<QLineEdit>(ScreenId::Config, "TournamentName")->setText(QStringLiteral("Lake Open"));
    h.control<QLineEdit>(ScreenId::Config, "CapturesPathName")->setText(QStringLiteral("/data/Video  "));
    h.control<QLineEdit>(ScreenId::Config, "SkierNameFile")->setText(QStringLiteral("missing.txt"));
    h.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 1)));
    configScreen(h)->mnuExit_Click();

    EXPECT_EQ(h.prompter.texts(), QStringList{QStringLiteral("Names not loaded, check file name and path")});
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Config, "CapturesPathName")->text(), QStringLiteral("/data/Video/"));
    EXPECT_EQ(h.context().tournament().capturesPath, QStringLiteral("/data/Video/"));
    EXPECT_EQ(h.stored(QStringLiteral("TournamentName")), QStringLiteral("Lake Open"));
    EXPECT_TRUE(h.resultsText().endsWith(QStringLiteral("New Configuration: 12-08-2026  10:00:01 Lake Open\r\n")));
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_FALSE(configScreen(h)->isVisible());

    // With a names file the measure screen's list is filled: one skier a line, a comma read as
    // a blank, as the capture screen reads the names.
    h.dirs.writeFile(QStringLiteral("app/names.txt"), "Doe,Jane\r\n\"Roe, Ann\"\r\n\r\nPoe\r\n");
    h.control<QLineEdit>(ScreenId::Config, "SkierNameFile")->setText(QStringLiteral("names.txt"));
    h.prompter.clear();
    configScreen(h)->mnuExit_Click();
    EXPECT_TRUE(h.prompter.prompts().isEmpty());
    const QStringList names = {QStringLiteral("Doe Jane"), QStringLiteral("Roe  Ann"),
                               QStringLiteral("Poe")};
    EXPECT_EQ(h.context().tournament().skierNames, names);
    EXPECT_EQ(measureSkierList(h), names);

    // A names file that gives no names leaves the list empty, not as it was.
    h.context().navigator().show(ScreenId::Config);
    h.control<QLineEdit>(ScreenId::Config, "SkierNameFile")->setText(QStringLiteral("missing.txt"));
    h.prompter.clear();
    configScreen(h)->mnuExit_Click();
    EXPECT_EQ(h.prompter.texts(),
              QStringList{QStringLiteral("Names not loaded, check file name and path")});
    EXPECT_EQ(measureSkierList(h), QStringList());
}

// Closing the window by its frame saves and leaves as "Exit and Save Parameters" does.
TEST(ConfigScreen, ClosingByTheFrameSavesTheParameters)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.dirs.writeFile(QStringLiteral("app/names.txt"), "Poe\r\n");
    typeInto(h.control<QLineEdit>(ScreenId::Config, "TournamentName"), QStringLiteral("Lake Open"));
    h.control<QLineEdit>(ScreenId::Config, "SkierNameFile")->setText(QStringLiteral("names.txt"));
    h.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 1)));
    configScreen(h)->close();
    QCoreApplication::processEvents();

    EXPECT_EQ(h.stored(QStringLiteral("TournamentName")), QStringLiteral("Lake Open"));
    EXPECT_TRUE(h.resultsText().endsWith(
        QStringLiteral("New Configuration: 12-08-2026  10:00:01 Lake Open\r\n")));
    EXPECT_EQ(h.context().tournament().skierNames, QStringList{QStringLiteral("Poe")});
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_FALSE(configScreen(h)->isVisible());
}

// The setup-files folder: browsed for, defaulted to "grids" in the video folder, and a typed
// folder that does not exist is pointed out at once.
TEST(ConfigScreen, SetupFilesFolderIsBrowsedForAndAMissingOneIsPointedOut)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    auto *box = h.control<QLineEdit>(ScreenId::Config, "SetupFilesPathName");
    auto *warning = h.control<QLabel>(ScreenId::Config, "lblSetupFilesWarning");
    EXPECT_TRUE(box->placeholderText().startsWith(h.videos() + QStringLiteral("/grids")));
    EXPECT_FALSE(warning->isVisible());

    typeInto(box, h.dirs.file(QStringLiteral("nowhere")));
    EXPECT_TRUE(warning->isVisible());

    const QString setups = h.dirs.file(QStringLiteral("setups"));
    QDir().mkpath(setups);
    h.prompter.choose(setups);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Config, "btnFindSetupFiles"),
                      Qt::LeftButton);
    EXPECT_EQ(h.prompter.prompts().last().file.kind, FileDialogKind::Folder);
    EXPECT_EQ(box->text(), setups);
    EXPECT_EQ(h.stored(QStringLiteral("SetupFiles")), setups);
    EXPECT_FALSE(warning->isVisible());

    // The results file may be one that does not exist yet.
    h.prompter.choose(h.videos() + QStringLiteral("/final.txt"));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Config, "btnFindResults"), Qt::LeftButton);
    EXPECT_EQ(h.prompter.prompts().last().file.kind, FileDialogKind::Save);
}

TEST(ConfigScreen, InvalidSetupSwitchIsJournalledAndLoupeProblemsAreToldOnce)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    auto *bad = h.control<QCheckBox>(ScreenId::Config, "chkBadSetup");
    clickIndicator(bad);
    clickIndicator(bad);
    const QStringList lines = h.resultsText().split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Invalid Configurations Allowed: 12-08-2026  09:28:39 ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Only valid Configurations Allowed: 12-08-2026  09:28:39 ")));
    const QByteArray debug = TestDirs::readFile(h.dirs.paths().debugLog());
    EXPECT_TRUE(debug.contains("Warning - Bad Setups allowed\r\n"));
    EXPECT_TRUE(debug.contains("Bad Setups restricted again\r\n"));

    auto *loupe = h.control<QCheckBox>(ScreenId::Config, "chkLoupe");
    clickIndicator(loupe);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Config, "cmdLoupe"), Qt::LeftButton);
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_TRUE(h.prompter.prompts()[0].text.contains(h.dirs.paths().appFile(QStringLiteral("Loupe/Loupe"))));
    EXPECT_EQ(h.stored(QStringLiteral("Loupe")), QStringLiteral("1"));
}

TEST(ConfigScreen, AResultsFileThatCannotBeWrittenIsToldWithItsPath)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    const QString unwritable = h.dirs.file(QStringLiteral("no-such-folder/results.txt"));
    h.control<QLineEdit>(ScreenId::Config, "ResultsPathName")->setText(unwritable);
    configScreen(h)->mnuExit_Click();
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_TRUE(h.prompter.prompts()[0].text.contains(unwritable));
    EXPECT_TRUE(h.prompter.prompts()[0].text.contains(QStringLiteral("nothing was recorded")));
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST(ConfigScreen, ClosingAFullScreenByItsFrameGoesBackToTheMainScreen)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    configScreen(h)->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.program().mainForm().isVisible(); }, 2000));
}

TEST(ConfigScreen, AddingACameraWaitsForItsGridBeforeMeasuring)
{
    ProgramHarness h;
    storeGrid(h, 1, QStringLiteral("east camera"));
    ASSERT_TRUE(h.startWithVideoDirectory());
    ASSERT_TRUE(h.context().grids().allGridsReady());
    clickIndicator(h.control<QRadioButton>(ScreenId::Config, "Opt2grid"));
    EXPECT_FALSE(h.context().grids().allGridsReady());
    clickIndicator(h.control<QRadioButton>(ScreenId::Config, "Opt1Grid"));
    EXPECT_TRUE(h.context().grids().allGridsReady());
}
