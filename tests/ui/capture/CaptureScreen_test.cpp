#include "support/ProgramHarness.h"
#include "support/ToolRunner.h"

#include "ui/app/MainForm.h"
#include "ui/capture/CameraSteadySign.h"
#include "ui/capture/PreviewForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The program started with a video folder, the capture screen opened from the main screen.
struct CaptureRun
{
    explicit CaptureRun(const QString &skierNames = QStringLiteral("Skier A\r\n"))
    {
        if (!skierNames.isEmpty())
            h.dirs.writeFile(QStringLiteral("app/SkierNames.txt"), skierNames.toUtf8());
    }
    void start(const QString &frameRate = QStringLiteral("30"))
    {
        h.store(QStringLiteral("framerate"), frameRate);
        ASSERT_TRUE(h.startWithVideoDirectory());
        h.prompter.clear();
    }
    // Opens the capture screen; `beforePaint` runs after its load and before its first paint.
    void open(const std::function<void()> &beforePaint = {})
    {
        QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
        ASSERT_TRUE(screen()->isVisible());
        if (beforePaint)
            beforePaint();
        QTRY_VERIFY(h.context().navigationTag.isEmpty());
    }
    PreviewForm *screen()
    {
        return static_cast<PreviewForm *>(h.program().screen(ScreenId::Capture));
    }
    template <typename W = QWidget> W *control(const char *name)
    {
        return h.control<W>(ScreenId::Capture, name);
    }
    QString video(const QString &name) const { return h.videos() + QLatin1Char('/') + name; }
    void touch(const QString &name) { h.dirs.writeFile(QStringLiteral("videos/") + name, "RIFF"); }
    QStringList titles() const
    {
        QStringList t;
        for (const RecordedPrompt &p : h.prompter.prompts())
            t << p.title;
        return t;
    }

    ProgramHarness h;
};

} // namespace

TEST(CaptureScreen, FirstPaintRaisesTheAttemptPastRecordedFilesAndWarnsOnce)
{
    CaptureRun run;
    run.start();
    run.touch(QStringLiteral("Skier Ajump1.avi"));
    run.touch(QStringLiteral("Skier Ajump2.avi"));
    run.open();
    EXPECT_EQ(run.control<QLineEdit>("txtSkierName")->text(), QStringLiteral("Skier A"));
    EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral(" 3"));
    EXPECT_EQ(run.titles(), QStringList{QStringLiteral("Duplicate File Warning")});
    EXPECT_EQ(
        run.h.prompter.texts().first(),
        QStringLiteral("Warning, the pass number was changed because a file for that pass already "
                       "existed.  You may need to change the skier name"));
    EXPECT_FALSE(run.control<QLabel>("Label4")->isVisible());

    // Later visits do not check again (the first paint runs once a run).
    run.h.prompter.clear();
    QTest::mouseClick(run.control<QPushButton>("cmdGoSetup"), Qt::LeftButton);
    run.touch(QStringLiteral("Skier Ajump3.avi"));
    QTest::mouseClick(run.h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_TRUE(run.h.prompter.texts().isEmpty());
}

TEST(CaptureScreen, AnAttemptAboveThreeWithoutAFileOnlyWarnsOfANameChange)
{
    CaptureRun run{QString()}; // no skier names file: "Skier Name"
    run.start();
    run.open([&] { run.control<QLineEdit>("txtPass")->setText(QStringLiteral("4")); });
    EXPECT_EQ(run.control<QLineEdit>("txtSkierName")->text(), QStringLiteral("Skier Name"));
    EXPECT_EQ(run.titles(), QStringList{QStringLiteral("Possible Name Change Warning")});
}

TEST(CaptureScreen, StartRecordingNeverOverwritesAFileAndTellsTheNewName)
{
    CaptureRun run;
    run.start();
    run.open();
    run.touch(QStringLiteral("Skier Ajump1.avi"));
    run.touch(QStringLiteral("Skier AXjump1.avi"));
    QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);

    EXPECT_EQ(run.h.camera().captureFile, run.video(QStringLiteral("Skier AXXjump1.avi")));
    EXPECT_TRUE(run.h.camera().capturing);
    EXPECT_EQ(run.control<QLineEdit>("txtSkierName")->text(), QStringLiteral("Skier AXX"));
    EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral("1"));
    EXPECT_EQ(run.control<QLabel>("Label4")->text(),
              QStringLiteral(
                  "WARNING! Skier Name has been changed to Skier AXX to prevent duplicate files"));
    EXPECT_EQ(run.h.control<QComboBox>(ScreenId::Measure, "Skier_name")->currentText(),
              QStringLiteral("Skier AXX"));
    EXPECT_EQ(TestDirs::readFile(run.video(QStringLiteral("Skier Ajump1.avi"))),
              QByteArray("RIFF"));
    EXPECT_FALSE(run.control<QPushButton>("cmdStartCapture")->isEnabled());
    EXPECT_TRUE(run.control<QPushButton>("cmdStartTimer")->isEnabled());
    EXPECT_FALSE(run.control<QPushButton>("cmdGoSetup")->isEnabled());
}

// An attempt that is not a whole number is refused before anything is named or recorded: the
// file, the log and the next attempt are built from it.
TEST(CaptureScreen, StartRefusesAnAttemptThatIsNotAWholeNumber)
{
    CaptureRun run;
    run.start();
    run.open();
    run.touch(QStringLiteral("Skier Ajumpabc.avi"));
    auto *pass = run.control<QLineEdit>("txtPass");
    pass->setText(QStringLiteral("abc"));
    QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
    EXPECT_EQ(run.h.prompter.texts(),
              QStringList{QStringLiteral("The attempt number must be a whole number from 1 to "
                                         "32767: change the Attempt Number box.")});
    EXPECT_FALSE(run.h.camera().capturing);
    EXPECT_TRUE(run.h.camera().calls.filter(QStringLiteral("StartCapture")).isEmpty());
    EXPECT_EQ(run.control<QLineEdit>("txtSkierName")->text(), QStringLiteral("Skier A"));
    EXPECT_EQ(pass->text(), QStringLiteral("abc"));
    EXPECT_TRUE(run.control<QPushButton>("cmdStartCapture")->isEnabled());
    EXPECT_TRUE(run.control<QPushButton>("btnCaptureFrame")->isEnabled());

    run.h.prompter.clear();
    pass->setText(QStringLiteral(" 2"));
    QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
    EXPECT_TRUE(run.h.prompter.texts().isEmpty());
    EXPECT_EQ(run.h.camera().captureFile, run.video(QStringLiteral("Skier Ajump2.avi")));
}

TEST(CaptureScreen, ACommaInTheNameIsRefusedAndAnyEditStartsAtAttemptOne)
{
    CaptureRun run;
    run.start();
    run.open();
    auto *name = run.control<QLineEdit>("txtSkierName");
    auto *pass = run.control<QLineEdit>("txtPass");
    pass->setText(QStringLiteral(" 2"));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Doe,Jane"));
    EXPECT_EQ(name->text(), QStringLiteral("Doe Jane"));
    EXPECT_EQ(pass->text(), QStringLiteral("1"));
    ASSERT_EQ(run.titles(), QStringList{QStringLiteral("Input Error")});
    EXPECT_EQ(run.h.prompter.texts().first(),
              QStringLiteral("Sorry, you cannot use the \",\" character in this box"));
    EXPECT_EQ(run.h.context().handOver.captureSkierName, QStringLiteral("Doe Jane"));
}

TEST(CaptureScreen, EscWithoutContactTakesTheMiddleOfTheRecording)
{
    for (const auto &[rate, expected] :
         {std::pair{QStringLiteral("30"), 75}, std::pair{QStringLiteral("25"), 62}}) {
        CaptureRun run;
        run.start(rate);
        run.open();
        QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
        run.h.camera().framesCaptured = 40;
        QTest::keyClick(run.control<QPushButton>("cmdStartTimer"), Qt::Key_Escape);
        EXPECT_EQ(run.h.context().handOver.contactFrame, expected) << rate.toStdString();
        EXPECT_EQ(run.control<QLineEdit>("Text1")->text(), QStringLiteral("27"));
        EXPECT_FALSE(run.h.camera().capturing);
        EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral(" 2"));
        EXPECT_EQ(run.h.context().handOver.capturedFrameCount, 40);
        EXPECT_EQ(run.h.context().handOver.captureFilePath,
                  run.video(QStringLiteral("Skier Ajump1.avi")));
        EXPECT_EQ(run.h.context().navigationTag, QStringLiteral("Capture"));
    }
}

TEST(CaptureScreen, ContactMarksTheFramesSoFarAndEscOnAnIdleScreenDoesNothing)
{
    CaptureRun run;
    run.start();
    run.open();
    QTest::keyClick(run.control<QPushButton>("cmdStartCapture"), Qt::Key_Escape);
    EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral("1"));
    EXPECT_TRUE(run.screen()->isVisible());

    QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
    EXPECT_EQ(run.control<QLabel>("lblStartFrame")->text(), QStringLiteral(" "));
    run.h.camera().framesCaptured = 57;
    QTest::mouseClick(run.control<QPushButton>("cmdStartTimer"), Qt::LeftButton);
    EXPECT_EQ(run.control<QLabel>("lblStartFrame")->text(), QStringLiteral("57"));
    run.h.camera().framesCaptured = 90;
    QTest::mouseClick(run.control<QPushButton>("cmdEndCapture"), Qt::LeftButton);
    EXPECT_EQ(run.h.context().handOver.contactFrame, 57);
    EXPECT_EQ(run.h.context().handOver.capturedFrameCount, 90);
    EXPECT_EQ(run.h.context().handOver.captureFrameRate, 30);
}

// A Stop that must wait for frames still to be compressed says so while it waits, with the
// wait cursor; a Stop with next to nothing waiting shows nothing.
TEST(CaptureScreen, AStopThatWaitsForTheCompressorSaysSoWhileItWaits)
{
    for (const int waiting : {40, 3}) {
        CaptureRun run;
        run.start();
        run.open();
        auto *writing = run.control<QLabel>("lblWriting");
        QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
        run.h.camera().framesWaiting = waiting;
        bool shown = false;
        bool busy = false;
        QString said;
        run.h.camera().whileStopping = [&] {
            shown = writing->isVisible();
            said = writing->text();
            busy = QApplication::overrideCursor() != nullptr;
        };
        QTest::mouseClick(run.control<QPushButton>("cmdEndCapture"), Qt::LeftButton);
        EXPECT_EQ(shown, waiting >= 15) << waiting;
        EXPECT_EQ(busy, waiting >= 15) << waiting;
        if (waiting >= 15)
            EXPECT_EQ(said, QStringLiteral("Writing the recording: 40 frames still to compress..."));
        EXPECT_FALSE(writing->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        run.h.camera().whileStopping = nullptr;
    }
}

// A camera that gives a rate with a fraction: the panel's box and the rate handed to frame
// selection are the same whole number.
TEST(CaptureScreen, TheRateHandedOnIsTheCamerasRateRoundedAsThePanelShowsIt)
{
    for (const auto &[offered, expected] : {std::pair{29.97, 30}, std::pair{12.5, 12}}) {
        CaptureRun run;
        run.h.camera().offeredFrameRate = offered;
        run.start();
        EXPECT_EQ(run.h.control<QLineEdit>(ScreenId::Main, "EdtRate")->text(),
                  QString::number(expected));
        run.open();
        QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
        QTest::mouseClick(run.control<QPushButton>("cmdEndCapture"), Qt::LeftButton);
        EXPECT_EQ(run.h.context().handOver.captureFrameRate, expected) << offered;
    }
}

TEST(CaptureScreen, TheCountdownStopsTheRecordingAtTheCaptureTime)
{
    CaptureRun run;
    run.h.store(QStringLiteral("captureTime"), QStringLiteral("3.0"));
    run.start();
    run.open();
    EXPECT_EQ(run.control<QComboBox>("captureTimeValue")->currentText(), QStringLiteral("3.0"));
    QTest::mouseClick(run.control<QPushButton>("cmdStartCapture"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!run.h.camera().capturing, 6000);
    EXPECT_EQ(run.h.context().handOver.contactFrame, 45); // 30 fps x 3 s / 2
    EXPECT_EQ(run.control<QLabel>("captime")->text(), QStringLiteral("3"));
    EXPECT_TRUE(run.control<QPushButton>("cmdStartCapture")->isEnabled());
}

// A recording that ends by itself is heard at once: without a frame the screen is ready to record
// the same attempt again; with frames, frame selection opens with them.
TEST(CaptureScreen, ARecordingThatEndsByItselfStaysReadyOrMovesOnAtOnce)
{
    CaptureRun run;
    run.start();
    run.open();
    auto *start = run.control<QPushButton>("cmdStartCapture");
    auto *countdown = run.screen()->findChild<QTimer *>(QStringLiteral("Timer40"));
    const QString gone = QStringLiteral("Camera A was removed");
    QTest::mouseClick(start, Qt::LeftButton);
    run.h.camera().endBySelf(RecordingEnd::Fault, 0, gone);
    EXPECT_EQ(run.h.prompter.texts(),
              QStringList{QStringLiteral("The recording ended before its first frame, so nothing "
                                         "was kept. Start Recording again once the camera shows "
                                         "a picture.")});
    EXPECT_FALSE(countdown->isActive());
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(run.control<QPushButton>("cmdEndCapture")->isEnabled());
    EXPECT_TRUE(run.control<QPushButton>("cmdGoSetup")->isEnabled());
    EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral("1"));
    EXPECT_TRUE(run.screen()->isVisible());

    run.h.prompter.clear();
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(run.h.camera().captureFile, run.video(QStringLiteral("Skier Ajump1.avi")));
    run.h.camera().endBySelf(RecordingEnd::Fault, 40, gone);
    EXPECT_FALSE(countdown->isActive());
    EXPECT_TRUE(run.h.prompter.texts().isEmpty()); // the control's warning tells the fault
    EXPECT_EQ(run.h.context().navigationTag, QStringLiteral("Capture"));
    EXPECT_EQ(run.h.context().handOver.capturedFrameCount, 40);
    EXPECT_EQ(run.h.context().handOver.contactFrame, 75);
    EXPECT_EQ(run.control<QLineEdit>("txtPass")->text(), QStringLiteral(" 2"));
    EXPECT_FALSE(run.screen()->isVisible());
}

TEST(CaptureScreen, ANonPositiveStoredCaptureTimeSelectsFiveSeconds)
{
    for (const char *stored : {"0", "-2"}) {
        CaptureRun run;
        run.h.store(QStringLiteral("captureTime"), QString::fromLatin1(stored));
        run.start();
        run.open();
        EXPECT_EQ(run.control<QComboBox>("captureTimeValue")->currentText(), QStringLiteral("5.0"));
        EXPECT_EQ(run.h.stored(QStringLiteral("captureTime")), QStringLiteral("5"));
        EXPECT_EQ(run.control<QLabel>("captime")->text(), QStringLiteral("5"));
    }
}

TEST(CaptureScreen, CaptureFrameGrabsTheFramePictureForTheMeasureScreenOrTheGridSetup)
{
    CaptureRun run;
    run.start();
    run.open();
    QTest::mouseClick(run.control<QPushButton>("btnCaptureFrame"), Qt::LeftButton);
    EXPECT_EQ(run.h.camera().calls.filter(QStringLiteral("grab"), Qt::CaseInsensitive),
              QStringList{QStringLiteral("grabFramePicture ") +
                          run.h.dirs.paths().currentCapture()});
    // No grid is set up yet: the grid setup screen opens instead of the measure screen.
    EXPECT_EQ(
        run.h.prompter.texts().last(),
        QStringLiteral("One or more grids are not configured.  You may not use the Measure Screen "
                       "until all listed grids are configured"));
    EXPECT_TRUE(run.h.program().screen(ScreenId::GridSetup)->isVisible());
}

// The scoring program's name is put into the name box as Start accepts it, and the warning
// label is never seen without a warning in it.
TEST(CaptureScreen, TheScoringProgramsNameIsTakenWithoutQuotesOrCommas)
{
    CaptureRun run;
    run.h.dirs.writeFile(QStringLiteral("drive/qvio/qvskier.nam"), "\"Doe, Jane\",1,2\r\n");
    run.start();
    run.open();
    EXPECT_FALSE(run.control<QLabel>("Label4")->isVisible());
    QTest::mouseClick(run.control<QPushButton>("btnGetName"), Qt::LeftButton);
    EXPECT_EQ(run.control<QLineEdit>("txtSkierName")->text(), QStringLiteral("Doe  Jane"));
    EXPECT_TRUE(run.h.prompter.prompts().isEmpty()) << run.h.prompter.texts().join('|').toStdString();
}

// The capture screen looks at the camera's newest frame for the grid's buoys: a steady camera is
// said to be steady, a bumped one to have moved, before the next skier starts.
TEST(CaptureScreenCameraSign, ABumpedCameraIsSaidBeforeTheNextJump)
{
    CaptureRun run;
    const QString grid = run.h.dirs.file(QStringLiteral("view.ipt"));
    const QString view = run.h.dirs.file(QStringLiteral("view.png"));
    const ToolRun scene = runTool({"scene", "--write-grid", grid, "--picture", view});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();
    run.h.store(QStringLiteral("grid1File"), grid);
    run.h.camera().frame = QImage(view);
    run.start();
    run.open();
    auto *sign = run.screen()->findChild<CameraSteadySign *>(QStringLiteral("lblCameraSign"));
    ASSERT_NE(sign, nullptr);
    sign->look();
    EXPECT_EQ(sign->text(), QStringLiteral("Camera steady"));

    QImage bumped(run.h.camera().frame.size(), QImage::Format_RGB32);
    bumped.fill(Qt::black);
    QPainter(&bumped).drawImage(0, 3, QImage(view));
    run.h.camera().frame = bumped;
    sign->look();
    EXPECT_EQ(sign->text(), QStringLiteral("Camera moved 3.0 px since grid 1 was built: check the "
                                           "camera, or build the grid again"));

    run.h.camera().frame = QImage();
    sign->look();
    EXPECT_EQ(sign->text(), QString());
}
