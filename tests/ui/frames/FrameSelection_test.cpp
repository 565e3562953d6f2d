#include "support/ProgramHarness.h"
#include "support/TestGrids.h"

#include "core/common/FileFaults.h"
#include "core/frames/FrameChoice.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/measure/PictureKeeper.h"
#include "ui/app/MainForm.h"
#include "ui/capture/PreviewForm.h"
#include "ui/common/PictureView.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"
#include "ui/measure/Measure.h"

#include "../../core/frames/TestVideo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The whole program with grid 1 ready, and videos whose every frame shows its number.
class FrameSelection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.storeStraightDownGrid();
        ASSERT_TRUE(h.startWithVideoDirectory());
        ASSERT_TRUE(h.context().grids().allGridsReady());
        h.prompter.clear();
    }

    QString makeVideo(const QString &name, int frames = 120)
    {
        const QString path = h.videos() + QLatin1Char('/') + name;
        TestVideoRecipe recipe;
        recipe.frames = frames;
        recipe.rateNum = 30;
        recipe.rateDen = 1;
        EXPECT_EQ(writeTestVideo(path, recipe), QString());
        return path;
    }

    frmSetStart *screen()
    {
        return static_cast<frmSetStart *>(h.program().screen(ScreenId::FrameSelection));
    }
    template <typename W = QWidget> W *control(const char *name)
    {
        return h.control<W>(ScreenId::FrameSelection, name);
    }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }

    // As the capture screen hands a recording over.
    void openAfterRecording(const QString &path, int contactFrame)
    {
        JumpHandOver &handOver = h.context().handOver;
        handOver.captureFilePath = path;
        handOver.contactFrame = contactFrame;
        handOver.captureFrameRate = 30;
        handOver.capturedFrameCount = 120;
        h.context().navigationTag = QStringLiteral("Capture");
        // The capture screen is in front when it hands a recording over.
        h.context().navigator().show(ScreenId::Capture);
        h.context().navigator().show(ScreenId::FrameSelection);
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.context().navigationTag.isEmpty(); }));
        ASSERT_EQ(screen()->player().fileName(), path);
        waitForPicture();
    }

    // Until the picture of the player's position is on screen, as the operator waits to see it.
    void waitForPicture()
    {
        const FramePlayer &player = screen()->player();
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.shownFrame() == player.position(); }));
    }

    // As the video log viewer hands a video over.
    void openFromLog(const QString &path)
    {
        h.context().handOver.viewFileName = path;
        h.context().navigationTag = QStringLiteral("View");
        h.context().navigator().show(ScreenId::FrameSelection);
        ASSERT_TRUE(QTest::qWaitFor([&] { return screen()->player().fileName() == path; }));
    }

    // The number stamped into the frame on show.
    int shownFrame() const
    {
        const QImage &image =
            const_cast<FrameSelection *>(this)->screen()->player().view()->image();
        return image.isNull() ? -1 : readStamp(image);
    }

    ProgramHarness h;
};

} // namespace

TEST_F(FrameSelection, AfterARecordingTheContactFrameIsShownAndFrameZeroIsMeasuredAsFrameOne)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"));
    openAfterRecording(video, 57);
    EXPECT_EQ(screen()->player().position(), 57);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame() == 57; }));
    EXPECT_TRUE(control<QPushButton>("cmdMarkStart")->isEnabled());
    EXPECT_EQ(control<QLabel>("Label10")->text().left(21), QStringLiteral("Disk Space Available "));
    EXPECT_TRUE(control<QLabel>("lblDiskSpace")->text().endsWith(QStringLiteral(" MB")));

    screen()->player().setPosition(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame() == 0; }));
    click("cmdMarkStart");
    EXPECT_EQ(h.context().handOver.measuredFrame, 1);
    EXPECT_EQ(h.context().handOver.measuredVideoFile, video);
    EXPECT_EQ(h.context().navigationTag, QStringLiteral("SelectFrame"));
    EXPECT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
    EXPECT_FALSE(screen()->isVisible());
    // The picture handed on is frame 1, as a 24-bit bitmap.
    const QImage picture(h.dirs.paths().currentCapture());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.depth() == 24 || picture.format() == QImage::Format_RGB32, true);
    EXPECT_EQ(readStamp(picture), 1);
    EXPECT_TRUE(TestDirs::readFile(h.dirs.paths().debugLog())
                    .contains("Frame  1 Selected in " + video.toUtf8()));
    EXPECT_TRUE(h.prompter.prompts().isEmpty());
}

TEST_F(FrameSelection, GridSetupIsOfferedForTheChosenFrameAndRefusedGridsAreSaid)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"), 30);
    openAfterRecording(video, 12);
    click("btnGoToSetup");
    EXPECT_TRUE(h.program().screen(ScreenId::GridSetup)->isVisible());
    EXPECT_TRUE(h.prompter.prompts().isEmpty()); // the grids are ready: nothing to warn about
    EXPECT_EQ(h.context().handOver.measuredFrame, 12);

    h.context().grids().resetAllGridsReady();
    openAfterRecording(video, 20);
    h.prompter.answer(Answer::Ok);
    click("cmdMarkStart");
    EXPECT_EQ(h.prompter.texts(), QStringList{FrameChoice::kGridsNotConfigured});
    EXPECT_EQ(h.prompter.prompts().first().icon, MessageIcon::Exclamation);
    EXPECT_TRUE(h.program().screen(ScreenId::GridSetup)->isVisible());
    EXPECT_FALSE(h.program().screen(ScreenId::Measure)->isVisible());
}

TEST_F(FrameSelection, LeadUpPlaysTheSecondsBeforeTheFrameWithItsTimer)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"));
    auto *timer1 = screen()->findChild<QTimer *>(QStringLiteral("Timer1"));

    // Two seconds at 30 fps before frame 45 would start before the video: it plays from 0.
    openAfterRecording(video, 45);
    click("Command5");
    EXPECT_EQ(screen()->player().position(), 0);
    EXPECT_TRUE(screen()->player().isPlaying());
    EXPECT_EQ(timer1->interval(), 1800);
    EXPECT_EQ(control<QLineEdit>("Text5")->text(), QStringLiteral("2300"));
    EXPECT_TRUE(screen()->leadUpPlaying());

    openAfterRecording(video, 100);
    click("Command5");
    EXPECT_EQ(screen()->player().position(), 40);
    EXPECT_EQ(timer1->interval(), 2300);
    // The playback runs forward from the lead-up's start to the frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen()->player().position() == 100; }, 8000));
}

TEST_F(FrameSelection, ThreeLoopsThenNormalSizeAndThePlayButtonHasTheFocus)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"), 30);
    openAfterRecording(video, 6);
    control<QLineEdit>("Text4")->setText(QStringLiteral("1"));
    control<QLineEdit>("txtStartLoop")->setText(QStringLiteral("3"));
    control<QCheckBox>("cbFullScreen")->setChecked(true);
    QSignalSpy ticks(screen()->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);
    QSignalSpy moves(&screen()->player(), &FramePlayer::positionChanged);

    click("Command5");
    EXPECT_TRUE(screen()->player().isFullScreen());
    click("Command5"); // ignored while the lead-up plays
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen()->leadUpPlaying(); }, 8000));
    EXPECT_EQ(ticks.count(), 3);
    int starts = 0; // each playback starts at frame 0
    for (const QList<QVariant> &move : moves)
        starts += move.first().toInt() == 0;
    EXPECT_EQ(starts, 3);
    EXPECT_FALSE(screen()->player().isFullScreen());
    EXPECT_EQ(screen()->focusWidget(), control("Command5"));
    EXPECT_EQ(screen()->player().position(), 6);
}

TEST_F(FrameSelection, LeadUpSecondsStayWithinOneToFive)
{
    auto *text4 = control<QLineEdit>("Text4");
    text4->setText(QStringLiteral("0"));
    EXPECT_EQ(text4->text(), QStringLiteral("1"));
    text4->setText(QStringLiteral("9"));
    EXPECT_EQ(text4->text(), QStringLiteral("5"));
    text4->setText(QStringLiteral("3"));
    EXPECT_EQ(text4->text(), QStringLiteral("3"));
}

TEST_F(FrameSelection, EveryArrowAndKeypadPressStepsOneFrame)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"));
    openAfterRecording(video, 10);
    QWidget *view = screen()->player().view();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(screen()->player().position(), 13);
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(screen()->player().position(), 12);
    EXPECT_EQ(control<QLineEdit>("Text9")->text(), QStringLiteral("12"));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("37"));

    QTest::keyClick(view, Qt::Key_6, Qt::KeypadModifier);
    EXPECT_EQ(screen()->player().position(), 13);
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("102"));
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("102"));
    QTest::keyClick(view, Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(screen()->player().position(), 12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame() == 12; }));

    // Held down, the key steps on every 100 ms; let go, it stops.
    QTest::keyPress(view, Qt::Key_Right);
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen()->player().position() >= 16; }, 3000));
    QTest::keyRelease(view, Qt::Key_Right);
    const int stopped = screen()->player().position();
    QTest::qWait(250);
    EXPECT_EQ(screen()->player().position(), stopped);

    // At frame 0 the back button stays at 0.
    screen()->player().setPosition(0);
    click("Command1");
    EXPECT_EQ(screen()->player().position(), 0);
}

TEST_F(FrameSelection, AVideoMeasuredBeforeIsSaidAndStillOpens)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump3.avi"), 30);
    h.dirs.writeFile(QStringLiteral("videos/Skier Ajump3.avi.info"),
                     (video + QStringLiteral(", 123\r\n")).toUtf8());

    // From the video log viewer.
    h.context().handOver.viewFileName = video;
    h.context().navigationTag = QStringLiteral("View");
    h.prompter.answer(Answer::Ok);
    h.context().navigator().show(ScreenId::FrameSelection);
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen()->viewDone(); }));
    EXPECT_EQ(h.prompter.texts(),
              QStringList{QStringLiteral("File already measured - contact frame is  123")});
    EXPECT_EQ(h.prompter.prompts().first().title, QStringLiteral("Start Already Measured Warning"));
    EXPECT_EQ(screen()->player().fileName(), video);
    EXPECT_EQ(control<QLabel>("Label5")->text(),
              QStringLiteral("Select First Contact by using direction buttons and/or slider"));
    EXPECT_TRUE(control<QPushButton>("cmdMarkStart")->isEnabled());

    // Painted again while viewing: nothing reloads and nothing is said again.
    screen()->player().setPosition(9);
    screen()->Form_Paint();
    EXPECT_EQ(h.prompter.prompts().size(), 1);
    EXPECT_EQ(screen()->player().position(), 9);

    // Browsing for it says so with the start frame.
    h.prompter.clear();
    h.prompter.choose(video).answer(Answer::Ok);
    click("Command6");
    EXPECT_EQ(h.prompter.texts().last(),
              QStringLiteral("File already measured - start frame is  123"));
    EXPECT_EQ(screen()->player().fileName(), video);
}

TEST_F(FrameSelection, BrowseListsTheFactsInOrderAndRefusesWhatIsNotAvi)
{
    const QString video = makeVideo(QStringLiteral("Skier Bjump1.avi"), 30);
    h.context().navigationTag = QStringLiteral("Setup");
    h.context().navigator().show(ScreenId::FrameSelection);
    // Painted: the disk space is shown and the file box is empty.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !control<QLabel>("lblDiskSpace")->text().isEmpty(); }));
    EXPECT_TRUE(control<QLineEdit>("Text6")->text().isEmpty());
    EXPECT_FALSE(control<QPushButton>("cmdMarkStart")->isEnabled());

    h.prompter.choose(video);
    click("Command6");
    EXPECT_EQ(h.prompter.prompts().first().file.startDirectory, h.videos());
    EXPECT_EQ(h.prompter.prompts().first().file.filters.first().patterns, QStringLiteral("*.avi"));
    auto *list = control<QListWidget>("lstFileInfo");
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[0], QStringLiteral("Filename: ") + video);
    EXPECT_EQ(lines[2], QStringLiteral("Height: 48"));
    EXPECT_EQ(lines[3], QStringLiteral("Width: 64"));
    EXPECT_EQ(lines[4], QStringLiteral("Length: 30 frames"));
    EXPECT_EQ(lines[5], QStringLiteral("Rate: 30fps"));
    EXPECT_EQ(lines[6], QStringLiteral("=== dwCaps ==="));
    EXPECT_EQ(lines[16].left(13), QStringLiteral("Interleaved: "));
    EXPECT_EQ(screen()->player().fileName(), video);
    EXPECT_TRUE(control<QPushButton>("cmdMarkStart")->isEnabled());

    h.prompter.clear();
    const QString text = h.dirs.writeFile(QStringLiteral("videos/notes.avi"), "just some notes");
    h.prompter.choose(text).answer(Answer::Ok);
    click("Command6");
    EXPECT_EQ(h.prompter.texts().last(), QStringLiteral("Not a valid avi file"));
    EXPECT_EQ(h.prompter.prompts().last().icon, MessageIcon::Exclamation);
    EXPECT_EQ(control<QLineEdit>("Text6")->text(), video); // unchanged, and loaded again
    EXPECT_EQ(screen()->player().fileName(), video);
}

TEST_F(FrameSelection, ARenamedSkierIsAskedUntilTheNameIsFreeAndTheRecordingMoves)
{
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
    auto *capture = static_cast<PreviewForm *>(h.program().screen(ScreenId::Capture));
    ASSERT_TRUE(capture->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.context().navigationTag.isEmpty(); }));
    auto *skier = h.control<QLineEdit>(ScreenId::Capture, "txtSkierName");
    skier->setText(QStringLiteral("Skier A"));
    h.dirs.writeFile(QStringLiteral("videos/Skier Ajump1.avi"), "an earlier jump");
    h.dirs.writeFile(QStringLiteral("videos/Skier Bjump1.avi"), "Skier B's first jump");

    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"), Qt::LeftButton);
    const QString recorded = h.videos() + QStringLiteral("/Skier AXjump1.avi");
    ASSERT_EQ(h.camera().captureFile, recorded);
    makeVideo(QStringLiteral("Skier AXjump1.avi"), 30);
    const QByteArray recording = TestDirs::readFile(recorded);
    h.camera().framesCaptured = 30;
    h.prompter.type(QStringLiteral("Skier B")).type(QString()).type(QStringLiteral("Skier C"));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdEndCapture"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return h.prompter.allAnswered() && h.context().navigationTag.isEmpty(); }));

    const QList<RecordedPrompt> &asked = h.prompter.prompts();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0].text,
              QStringLiteral("The skier's name was changed to prevent overwriting an "
                             "existing file. You can change the skier's name here if "
                             "you want. Just modify it in the input box to what it "
                             "should be. "));
    EXPECT_EQ(asked[0].defaultText, QStringLiteral("Skier AX"));
    EXPECT_EQ(asked[1].text, QStringLiteral("I am sorry, there is an existing file using that name "
                                            "and jump.  Please try again "));
    EXPECT_EQ(asked[2].text, QStringLiteral("You must input a name. Please try again "));
    for (const RecordedPrompt &p : asked)
        EXPECT_EQ(p.title, QStringLiteral("Fix the skier's name"));

    // The capture screen had moved on to attempt 2, which names the file asked for last.
    const QString moved = h.videos() + QStringLiteral("/Skier Cjump2.avi");
    EXPECT_EQ(TestDirs::readFile(moved), recording);
    EXPECT_FALSE(QFile::exists(recorded));
    EXPECT_EQ(TestDirs::readFile(h.videos() + QStringLiteral("/Skier Bjump1.avi")),
              QByteArray("Skier B's first jump"));
    EXPECT_EQ(control<QLineEdit>("Text6")->text(), moved);
    EXPECT_EQ(screen()->player().fileName(), moved);
    EXPECT_EQ(skier->text(), QStringLiteral("Skier C"));
    EXPECT_EQ(h.control<QLineEdit>(ScreenId::Capture, "txtPass")->text(), QStringLiteral("2"));
    EXPECT_FALSE(h.control<QLabel>(ScreenId::Capture, "Label4")->isVisible());
    EXPECT_EQ(h.control<QComboBox>(ScreenId::Measure, "Skier_name")->currentText(),
              QStringLiteral("Skier C"));
}

TEST_F(FrameSelection, NextJumpLetsGoOfTheVideoAndKeepsOrErasesItOnce)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump12.avi"), 30);
    TournamentState &t = h.context().tournament();
    t.pictureSavePolicy = SavePolicy::NoSave;
    t.videoSavePolicy = SavePolicy::Save;
    openAfterRecording(video, 17);
    click("cmdMarkStart");
    ASSERT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_TRUE(h.program().screen(ScreenId::Capture)->isVisible());
    EXPECT_TRUE(screen()->player().fileName().isEmpty());
    EXPECT_TRUE(h.context().handOver.measuredVideoFile.isEmpty());
    const QByteArray log =
        TestDirs::readFile(h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt"));
    EXPECT_TRUE(log.contains("Skier: Skier A"));
    EXPECT_TRUE(log.contains("Jump: 12 "));
    EXPECT_TRUE(log.contains("Contact Frame:  17 "));
    EXPECT_EQ(TestDirs::readFile(video + QStringLiteral(".info")),
              (video + QStringLiteral(", 17\r\n")).toUtf8());
    EXPECT_TRUE(h.prompter.prompts().isEmpty());

    // A next jump from the measure screen again has no video left to ask about.
    t.videoSavePolicy = SavePolicy::Ask;
    h.prompter.answer(Answer::No).answer(Answer::No);
    static_cast<Measure *>(h.program().screen(ScreenId::Measure))->mnuCapture_Click();
    EXPECT_EQ(h.prompter.texts(),
              (QStringList{QStringLiteral("Do you want to save this picture?"),
                           QStringLiteral("Do you want to remain on this form?")}));
    EXPECT_TRUE(QFile::exists(video));

    // Policy NoSave erases without a question; a name without "jump" is warned, not logged,
    // and erased all the same.
    h.prompter.clear();
    t.videoSavePolicy = SavePolicy::NoSave;
    const QString other = makeVideo(QStringLiteral("Skier Ajump13.avi"), 30);
    openAfterRecording(other, 5);
    click("cmdMarkStart");
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_TRUE(h.prompter.prompts().isEmpty());

    t.videoSavePolicy = SavePolicy::Save;
    const QString warmup = makeVideo(QStringLiteral("warmup.avi"), 30);
    openAfterRecording(warmup, 5);
    click("cmdMarkStart");
    h.prompter.answer(Answer::Ok);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_EQ(h.prompter.texts(), QStringList{PictureKeeper::kNotStandardVideoText});
    EXPECT_TRUE(QFile::exists(warmup));
    EXPECT_FALSE(QFile::exists(warmup + QStringLiteral(".info")));
    EXPECT_FALSE(TestDirs::readFile(h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt"))
                     .contains("warmup"));

    t.videoSavePolicy = SavePolicy::NoSave;
    openAfterRecording(warmup, 5);
    click("cmdMarkStart");
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(warmup));
}

TEST_F(FrameSelection, TheWaysBackLeaveTheTimerTagAndAskForTheStartButton)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump1.avi"), 30);
    openAfterRecording(video, 3);
    click("cmdGoToCapture");
    EXPECT_TRUE(h.program().screen(ScreenId::Capture)->isVisible());
    EXPECT_FALSE(screen()->isVisible());
    EXPECT_TRUE(h.context().handOver.startFocusPending);

    openAfterRecording(video, 3);
    h.context().handOver.startFocusPending = false;
    click("cmdGoToSetup");
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_FALSE(screen()->isVisible());
    EXPECT_FALSE(h.context().handOver.startFocusPending);
}

// The frame measured is the one whose picture the operator sees: while the picture of a new
// position is still on its way, that is the frame before.
TEST_F(FrameSelection, TheFrameChosenIsTheOneWhosePictureIsOnScreen)
{
    // HD frames, so that only a few dozen fit the player's window of decoded pictures.
    const QString video = h.videos() + QStringLiteral("/Skier Ajump4.avi");
    TestVideoRecipe recipe;
    recipe.width = 1280;
    recipe.height = 720;
    recipe.frames = 90;
    ASSERT_EQ(writeTestVideo(video, recipe), QString());
    openAfterRecording(video, 5);
    ASSERT_EQ(shownFrame(), 5);

    screen()->player().setPosition(85); // far outside the decoded window: not on screen yet
    ASSERT_NE(screen()->player().shownFrame(), 85);
    click("cmdMarkStart");
    EXPECT_EQ(h.context().handOver.measuredFrame, 5);
    EXPECT_EQ(readStamp(QImage(h.dirs.paths().currentCapture())), 5);
}

// A frame that does not decode leaves no older picture on screen under its number: the
// screen says so in words, and choosing it is refused.
TEST_F(FrameSelection, AFrameThatDoesNotDecodeIsSaidAndCannotBeChosen)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump5.avi"), 30);
    QByteArray bytes = TestDirs::readFile(video);
    const qsizetype chunk = movieChunkOffset(bytes, 20);
    ASSERT_GT(chunk, 0);
    // The Motion JPEG picture of frame 20 overwritten past its start-of-image marker.
    for (qsizetype i = chunk + 8 + 2; i < chunk + 8 + 400; ++i)
        bytes[i] = char(0x5a);
    h.dirs.writeFile(QStringLiteral("videos/Skier Ajump5.avi"), bytes);

    openAfterRecording(video, 19);
    auto *problem = control<QLabel>("lblFrameProblem");
    EXPECT_FALSE(problem->isVisibleTo(screen()));
    screen()->player().setPosition(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return problem->isVisibleTo(screen()); }));
    EXPECT_TRUE(problem->text().startsWith(QStringLiteral("Frame 20 cannot be shown")));
    EXPECT_EQ(screen()->player().shownFrame(), -1);
    EXPECT_TRUE(screen()->player().view()->image().isNull());

    h.prompter.answer(Answer::Ok);
    click("cmdMarkStart");
    EXPECT_EQ(h.prompter.texts(), QStringList{FrameChoice::kNoFrameOnScreen});
    EXPECT_TRUE(screen()->isVisible());
    EXPECT_TRUE(h.context().handOver.measuredVideoFile.isEmpty());

    screen()->player().setPosition(21);
    waitForPicture();
    EXPECT_FALSE(problem->isVisibleTo(screen()));
}

// The frame picture of the jump before is gone before the new one is written, and a picture
// that cannot be written keeps the operator on frame selection: the measure screen never
// opens another jump's picture.
TEST_F(FrameSelection, AFramePictureThatCannotBeWrittenKeepsTheOperatorHere)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump6.avi"), 30);
    const QString picture = h.dirs.paths().currentCapture();
    QImage earlier(64, 48, QImage::Format_RGB888);
    earlier.fill(Qt::red);
    ASSERT_TRUE(earlier.save(picture, "BMP"));
    openAfterRecording(video, 12);

    FileFaults::set(QFileInfo(picture).absolutePath(), FileFaultKind::ReadOnly);
    h.prompter.answer(Answer::Ok);
    click("cmdMarkStart");
    FileFaults::clear();
    EXPECT_EQ(h.prompter.texts(),
              QStringList{QStringLiteral("There was an error working with the file:\n") + picture});
    EXPECT_FALSE(QFile::exists(picture));
    EXPECT_TRUE(screen()->isVisible());
    EXPECT_FALSE(h.program().screen(ScreenId::Measure)->isVisible());
    EXPECT_TRUE(h.context().handOver.measuredVideoFile.isEmpty());

    // Once the picture can be written, the same press goes on to measuring.
    click("cmdMarkStart");
    EXPECT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
    EXPECT_EQ(readStamp(QImage(picture)), 12);
}

// Each video opened from the video log is the one on show, and a video opened again from
// the log was kept earlier: the video policy never erases it.
TEST_F(FrameSelection, EveryVideoFromTheLogIsShownAndNoneIsErasedByThePolicy)
{
    const QString first = makeVideo(QStringLiteral("Skier Ajump7.avi"), 30);
    const QString second = makeVideo(QStringLiteral("Skier Bjump2.avi"), 30);
    h.context().tournament().videoSavePolicy = SavePolicy::NoSave;
    h.context().tournament().pictureSavePolicy = SavePolicy::NoSave;

    openFromLog(first);
    click("cmdGoToSetup"); // back to the main screen
    ASSERT_TRUE(h.program().mainForm().isVisible());
    openFromLog(second);
    EXPECT_EQ(screen()->player().fileName(), second);

    waitForPicture();
    click("cmdMarkStart");
    ASSERT_TRUE(h.program().screen(ScreenId::Measure)->isVisible());
    EXPECT_EQ(h.context().handOver.measuredVideoFile, second);
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "btnNextJump"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(second));
}

// A video kept earlier opens at the frame measured then, from the log and through Browse.
TEST_F(FrameSelection, AVideoMeasuredBeforeOpensAtTheFrameMeasuredThen)
{
    const QString video = makeVideo(QStringLiteral("Skier Ajump8.avi"), 30);
    h.dirs.writeFile(QStringLiteral("videos/Skier Ajump8.avi.info"),
                     (video + QStringLiteral(",17\r\n")).toUtf8());
    h.prompter.answer(Answer::Ok);
    openFromLog(video);
    waitForPicture();
    EXPECT_EQ(screen()->player().position(), 17);
    EXPECT_EQ(shownFrame(), 17);
    EXPECT_EQ(control<QLineEdit>("Text9")->text(), QStringLiteral("17"));

    screen()->player().setPosition(3);
    h.prompter.choose(video).answer(Answer::Ok);
    click("Command6");
    waitForPicture();
    EXPECT_EQ(screen()->player().position(), 17);
}

// After a Record, going back to the main screen keeps (with side file and log line) or erases
// the recording by the video policy, as the next jump does; unrecorded, it stays for later.
TEST_F(FrameSelection, ReturningToTheMainScreenAfterARecordKeepsTheVideoByPolicy)
{
    TournamentState &t = h.context().tournament();
    t.pictureSavePolicy = SavePolicy::NoSave;
    t.videoSavePolicy = SavePolicy::Save;
    const QString video = makeVideo(QStringLiteral("Skier Ajump9.avi"), 30);
    openAfterRecording(video, 12);
    click("cmdMarkStart");
    auto *measure = static_cast<Measure *>(h.program().screen(ScreenId::Measure));
    ASSERT_TRUE(measure->isVisible());
    measure->setSkierAndJump(QStringLiteral("Skier A"), QStringLiteral("9"));
    measure->pictureView().setZoom(1.0);
    QTest::mousePress(measure->pictureView().canvas(), Qt::LeftButton, {},
                      measure->pictureView().canvasPosition({6000, 4500}));
    QTest::mouseClick(h.control<QPushButton>(ScreenId::Measure, "Record"), Qt::LeftButton);
    measure->findChild<QAction *>(QStringLiteral("Exit"))->trigger();
    EXPECT_TRUE(h.program().mainForm().isVisible());
    EXPECT_TRUE(QFile::exists(video + QStringLiteral(".info")));
    EXPECT_TRUE(TestDirs::readFile(h.videos() + QStringLiteral("/JumpMeasurementLog120826.txt"))
                    .contains("File: " + video.toUtf8()));
    EXPECT_TRUE(h.context().handOver.measuredVideoFile.isEmpty());
    EXPECT_TRUE(screen()->player().fileName().isEmpty());
}

// Letters typed into the seconds once turned "xyz" into "1yz": the number boxes refuse them.
TEST_F(FrameSelection, SecondsAndLoopsTakeOnlyNumbers)
{
    auto *seconds = control<QLineEdit>("Text4");
    auto *loops = control<QLineEdit>("txtStartLoop");
    const QString before = seconds->text();
    seconds->selectAll();
    QTest::keyClicks(seconds, QStringLiteral("xyz"));
    EXPECT_EQ(seconds->text(), before);
    seconds->selectAll();
    QTest::keyClicks(seconds, QStringLiteral("2.5s"));
    EXPECT_EQ(seconds->text(), QStringLiteral("2.5"));
    loops->selectAll();
    QTest::keyClicks(loops, QStringLiteral("4.x"));
    EXPECT_EQ(loops->text(), QStringLiteral("4"));
}
