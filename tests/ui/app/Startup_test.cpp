#include "support/Clicks.h"
#include "support/ProgramHarness.h"

#include "app/CaptureSetup.h"
#include "core/app/Startup.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/simulation/SimulatedDevices.h"
#include "ui/app/MainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

TEST(Startup, FirstStartWalksFromTheDebugLogToTheConfigurationScreen)
{
    ProgramHarness h(false); // no qvio: the debug log cannot be written
    h.prompter.answer(Answer::No)                            // emergency reset
        .type(h.dirs.file(QStringLiteral("nowhere")))        // not a folder
        .type(h.videos() + QStringLiteral("/"));             // a folder, typed with a separator
    ASSERT_TRUE(h.program().start());

    const QList<RecordedPrompt> &p = h.prompter.prompts();
    ASSERT_EQ(p.size(), 6);
    EXPECT_EQ(p[0].text, QStringLiteral("Error occurred while trying to close file, please retry."));
    EXPECT_EQ(p[1].text, QStringLiteral("Do you want to reset all parameters to install values?"));
    EXPECT_EQ(p[2].text, QStringLiteral("No Correct Save Video Directory has been set.  Please put in the path of the Save Video Directory here."));
    EXPECT_EQ(p[2].title, QStringLiteral("Input Save Video Files Path"));
    EXPECT_EQ(p[3].text, QStringLiteral("You entered an invalid path - try  again"));
    EXPECT_EQ(p[4].kind, RecordedPrompt::Kind::Input);
    EXPECT_EQ(p[5].text, QStringLiteral("Please Verify all Setup Parameters"));

    EXPECT_TRUE(h.program().screen(ScreenId::Config)->isVisible());
    EXPECT_FALSE(h.program().mainForm().isVisible());
    EXPECT_EQ(h.context().videoDirectory, h.videos());

    // What a first start leaves in the settings once the configuration screen has loaded.
    EXPECT_EQ(h.stored(QStringLiteral("labelcolor")), QStringLiteral("default"));
    EXPECT_EQ(h.stored(QStringLiteral("impactcolor")), QStringLiteral("white"));
    EXPECT_EQ(h.stored(QStringLiteral("grids")), QStringLiteral("1"));
    EXPECT_EQ(h.stored(QStringLiteral("right2left")), QStringLiteral("False"));
    EXPECT_EQ(h.stored(QStringLiteral("tournamentType")), QStringLiteral("normal"));
    EXPECT_EQ(h.stored(QStringLiteral("WSTIMS")), QStringLiteral("0"));
    EXPECT_EQ(h.stored(QStringLiteral("buoymarker")), QStringLiteral("circle"));
    EXPECT_EQ(h.stored(QStringLiteral("PictureSave")), QStringLiteral("Ask"));
    EXPECT_EQ(h.stored(QStringLiteral("VideoSave")), QStringLiteral("Ask"));
    EXPECT_EQ(h.stored(QStringLiteral("logpath")), h.videos() + QStringLiteral("/"));
    EXPECT_EQ(h.stored(QStringLiteral("logfile")), QStringLiteral("JumpMeasurementLog120826.txt"));
    EXPECT_EQ(TestDirs::readFile(h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt")),
              QByteArray("12-08-2026    09:28:39      Skelvin Measurement Session started  \r\n"));

    // The shipped pictures and manual are in place.
    for (const char *name : {"SmallSmiley.jpg", "SmallCaution.jpg", "face02.ico", "msgbox03.ico", "DE05Manual.rtf"})
        EXPECT_TRUE(QFile::exists(h.dirs.paths().appFile(QString::fromLatin1(name)))) << name;
}

TEST(Startup, AStoredVideoDirectoryThatWasRemovedLeadsToTheQuestionAgain)
{
    ProgramHarness h;
    h.store(QStringLiteral("logpath"), h.dirs.file(QStringLiteral("removed")));
    h.prompter.answer(Answer::No).type(h.videos());
    ASSERT_TRUE(h.program().start());
    EXPECT_EQ(h.prompter.texts().mid(1, 1), QStringList{QStringLiteral(
        "No Correct Save Video Directory has been set.  Please put in the path of the Save Video Directory here.")});
    EXPECT_EQ(h.stored(QStringLiteral("logpath")), h.videos());
    // The debug log holds the start line and the main screen's line only.
    EXPECT_EQ(TestDirs::readFile(h.dirs.paths().debugLog()),
              QByteArray("09:28:39      Debug Log Session Started\r\n09:28:39      MainForm Load\r\n"));
}

TEST(Startup, CancellingTheVideoDirectoryQuestionEndsTheProgram)
{
    ProgramHarness h;
    h.prompter.answer(Answer::No).cancelInput();
    EXPECT_FALSE(h.program().start());
    EXPECT_FALSE(h.program().screen(ScreenId::Config)->isVisible());
}

// Only --simulated-camera offers the simulated camera and microphone: on a machine without it, a
// stored device index past today's cameras finds no camera instead of a made-up scene.
TEST(Startup, TheSimulatedDevicesAreOfferedOnlyWithTheirOption)
{
    CommandLineOptions options;
    std::unique_ptr<CaptureDevice> machine = makeCaptureDevice(options);
    for (int i = 0; i < machine->VideoDeviceCount(); ++i)
        EXPECT_NE(machine->VideoDeviceName(i), kSimulatedCameraName);
    for (int i = 0; i < machine->AudioDeviceCount(); ++i)
        EXPECT_NE(machine->AudioDeviceName(i), kSimulatedMicrophoneName);

    options.simulatedCamera = true;
    std::unique_ptr<CaptureDevice> simulated = makeCaptureDevice(options);
    ASSERT_EQ(simulated->VideoDeviceCount(), 1);
    EXPECT_EQ(simulated->VideoDeviceName(0), kSimulatedCameraName);
    ASSERT_EQ(simulated->AudioDeviceCount(), 1);
    EXPECT_EQ(simulated->AudioDeviceName(0), kSimulatedMicrophoneName);
}

TEST(Startup, FrameRateClassFollowsTheBoxText)
{
    const QString before = QStringLiteral("Currently Configured for R");
    EXPECT_EQ(frameRateLabel(QStringLiteral("4"), before), before);
    EXPECT_EQ(frameRateLabel(QStringLiteral("4"), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(frameRateLabel(QStringLiteral("5"), before), QStringLiteral("Currently Configured for Normal/C"));
    EXPECT_EQ(frameRateLabel(QStringLiteral("14.9"), before), QStringLiteral("Currently Configured for Normal/C"));
    EXPECT_EQ(frameRateLabel(QStringLiteral("15"), before), QStringLiteral("Currently Configured for L"));
    EXPECT_EQ(frameRateLabel(QStringLiteral("24.9 fps"), before), QStringLiteral("Currently Configured for L"));
    EXPECT_EQ(frameRateLabel(QStringLiteral("25"), before), QStringLiteral("Currently Configured for R"));
}

TEST(MainFormScreen, RefusesMissingFoldersAndUnreadyGrids)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.program().mainForm().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.program().mainForm()));

    // "Change Video File Directory" answered with nothing changes nothing.
    h.prompter.type(QString());
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "btnChangeDirectory"), Qt::LeftButton);
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Main, "txtVideoDir")->text(), h.videos());

    // A folder that does not exist is refused with its own message and asked again.
    const QString other = h.dirs.file(QStringLiteral("other"));
    QDir().mkpath(other);
    h.prompter.type(h.dirs.file(QStringLiteral("nope"))).type(other);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "btnChangeDirectory"), Qt::LeftButton);
    EXPECT_EQ(h.prompter.prompts()[2].text, QStringLiteral("The folder you entered does not exist"));
    EXPECT_EQ(h.prompter.prompts()[2].title, QStringLiteral("Jump Measurement Alert"));
    EXPECT_EQ(h.control<QLabel>(ScreenId::Main, "lblVideodir")->text(), other);
    EXPECT_EQ(h.stored(QStringLiteral("logpath")), other);

    // The video folder disappears: capture is refused.
    QDir(other).removeRecursively();
    h.prompter.clear();
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    ASSERT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_EQ(h.prompter.prompts()[0].text, QStringLiteral("The Log File Folder you specified does not exist. Please change it to a Folder that does exist."));
    EXPECT_EQ(h.prompter.prompts()[0].title, QStringLiteral("Path Error"));

    // No grid is set up: the measure screen is refused and grid setup is offered instead.
    h.prompter.clear();
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "ccmdGoToMeasure"), Qt::LeftButton);
    ASSERT_GE(h.prompter.prompts().size(), 1);
    EXPECT_EQ(h.prompter.prompts()[0].text, QStringLiteral(
        "At least one measurement grid that you have specified has not been set up.  All grids specified "
        "must be set up correctly before you can use the measurement screen"));
    EXPECT_EQ(h.prompter.prompts()[0].icon, MessageIcon::Critical);

    // Barefoot timing is stored as it is clicked.
    QCheckBox *cb15 = h.control<QCheckBox>(ScreenId::Main, "cb15");
    clickIndicator(cb15);
    EXPECT_EQ(h.stored(QStringLiteral("barefoot")), QStringLiteral("1"));
}

TEST(MainFormScreen, ImportTakesTheFirstNameWithCommasAsBlanks)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    const QString names = h.dirs.writeFile(QStringLiteral("names.txt"), "Doe,Jane\r\nRoe,Rick\r\n");
    h.prompter.choose(names);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdImport"), Qt::LeftButton);
    EXPECT_EQ(h.context().handOver.captureSkierName, QStringLiteral("Doe Jane"));
    EXPECT_EQ(TestDirs::readFile(h.dirs.paths().appFile(QStringLiteral("SkierNames.txt"))),
              QByteArray("Doe,Jane\r\nRoe,Rick\r\n"));

    h.prompter.cancelFile(); // nothing chosen: nothing changes
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdImport"), Qt::LeftButton);
    EXPECT_EQ(h.context().handOver.captureSkierName, QStringLiteral("Doe Jane"));
}

// The main screen with the capture panel shown fits a 1366 x 768 display (less a title bar) in
// both capture types, and is smaller again once the panel is hidden.
TEST(MainFormScreen, WithThePanelShownItFitsALowDisplayInBothModes)
{
    ProgramHarness h;
    ASSERT_TRUE(h.startWithVideoDirectory());
    MainForm &main = h.program().mainForm();
    main.show();
    const int hiddenHeight = main.sizeHint().height();
    auto *toggle = h.control<QPushButton>(ScreenId::Main, "cmdShowConfig");
    QTest::mouseClick(toggle, Qt::LeftButton);
    auto *type = h.control<QComboBox>(ScreenId::Main, "CaptureType");
    for (int mode : {0, 1}) {
        type->setCurrentIndex(mode);
        const QSize wanted = main.sizeHint().expandedTo(main.minimumSizeHint());
        EXPECT_LE(wanted.height(), 768 - 30) << "capture type " << mode;
        EXPECT_LE(wanted.width(), 1366) << "capture type " << mode;
    }
    const int shownHeight = main.sizeHint().height();
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_LE(main.sizeHint().height(), hiddenHeight);
    EXPECT_LT(main.height(), shownHeight);
}
