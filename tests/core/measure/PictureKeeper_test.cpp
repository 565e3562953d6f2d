#include "core/app/AppContext.h"
#include "core/app/Startup.h"
#include "core/measure/PictureKeeper.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

struct Keeper
{
    Keeper() : clock(QDateTime(QDate(2026, 12, 8), QTime(10, 20, 30))),
               context(dirs.paths(), clock, prompter, nullptr)
    {
        videos = dirs.file(QStringLiteral("videos"));
        QDir().mkpath(videos);
        QDir().mkpath(dirs.paths().appDir());
        context.videoDirectory = videos;
        context.results().setPath(videos + QStringLiteral("/results.txt"));
        context.handOver.captureSkierName = QStringLiteral("Skier A");
        context.handOver.captureAttemptText = QStringLiteral("4");
        writeFrame("first");
        state.skierName = QStringLiteral("Skier A");
        state.jumpNo = QStringLiteral(" 3");
        state.distanceText = QStringLiteral(" 45.1m");
    }
    void writeFrame(const QByteArray &bytes) { dirs.writeFile(QStringLiteral("app/currentcapture.bmp"), bytes); }
    QString picture() const { return videos + QStringLiteral("/Skier Ajump3.bmp"); }

    TestDirs dirs;
    FixedClock clock;
    ScriptedPrompter prompter;
    AppContext context;
    QString videos;
    MeasureState state;
};

} // namespace

TEST(PictureKeeper, SavesThePictureWithItsSideFileAndLogLines)
{
    Keeper k;
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    EXPECT_EQ(TestDirs::readFile(k.picture()), QByteArray("first"));
    EXPECT_EQ(TestDirs::readFile(k.context.paths().currentCapture()), QByteArray("first")); // still there
    EXPECT_EQ(TestDirs::readFile(k.picture() + QStringLiteral(".info")),
              (k.picture() + QStringLiteral(", Skier A, 3\r\n")).toUtf8()); // the attempt measured
    EXPECT_EQ(TestDirs::readFile(k.videos + QStringLiteral("/results.txt")),
              (QStringLiteral("12-08-2026 10:20:30 Saved picture: ") + k.picture() + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(TestDirs::readFile(k.videos + QStringLiteral("/JumpMeasurementLog120826.txt")),
              (QStringLiteral("12-08-2026    10:20:30      Skier: Skier A              Jump:  3      "
                              "Distance:  45.1m            File: ") + k.picture() + QStringLiteral("\r\n")).toUtf8());
}

TEST(PictureKeeper, AnExistingPictureIsReplacedOrKeptUnderANewName)
{
    Keeper k;
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    k.writeFrame("second");
    k.prompter.answer(Answer::Yes);
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    EXPECT_EQ(k.prompter.texts().first(), QStringLiteral("File: ") + k.picture()
                                               + QStringLiteral(" already exists.  Do you want to overwrite it?"));
    EXPECT_EQ(TestDirs::readFile(k.picture()), QByteArray("second"));

    k.prompter.clear();
    k.writeFrame("third");
    const QString renamed = k.videos + QStringLiteral("/Skier Ajump3b.bmp");
    k.prompter.answer(Answer::No).type(k.picture()).type(renamed);
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    EXPECT_EQ(k.prompter.prompts()[1].text, QStringLiteral("This File Name already exists. You must rename the file before saving."));
    EXPECT_EQ(k.prompter.prompts()[1].defaultText, k.picture());
    EXPECT_EQ(TestDirs::readFile(k.picture()), QByteArray("second"));
    EXPECT_EQ(TestDirs::readFile(renamed), QByteArray("third"));
    EXPECT_TRUE(QFile::exists(renamed + QStringLiteral(".info")));

    // Cancelling the rename saves nothing and loses nothing.
    k.prompter.clear();
    k.prompter.answer(Answer::No).cancelInput();
    EXPECT_FALSE(k.context.pictureKeeper().SavePict(k.state));
    EXPECT_EQ(TestDirs::readFile(k.picture()), QByteArray("second"));
    EXPECT_EQ(TestDirs::readFile(k.context.paths().currentCapture()), QByteArray("third"));
}

TEST(PictureKeeper, VideosAreKeptAndLoggedOrErasedByPolicy)
{
    Keeper k;
    const QString video = k.dirs.writeFile(QStringLiteral("videos/Skier Ajump12.avi"), "avi");
    k.context.handOver.measuredVideoFile = video;
    k.context.handOver.jumpRecording = video;
    k.context.handOver.measuredFrame = 45;

    k.context.tournament().videoSavePolicy = SavePolicy::Save;
    k.context.pictureKeeper().applyVideoPolicy();
    EXPECT_TRUE(QFile::exists(video));
    EXPECT_EQ(TestDirs::readFile(video + QStringLiteral(".info")), (video + QStringLiteral(", 45\r\n")).toUtf8());
    EXPECT_TRUE(TestDirs::readFile(k.videos + QStringLiteral("/JumpMeasurementLog120826.txt"))
                    .contains("Contact Frame:  45          File: " + video.toUtf8() + "\r\n"));

    k.context.tournament().videoSavePolicy = SavePolicy::NoSave;
    k.context.pictureKeeper().applyVideoPolicy();
    EXPECT_FALSE(QFile::exists(video));
    EXPECT_TRUE(k.prompter.prompts().isEmpty()); // erased without a question

    const QString odd = k.dirs.writeFile(QStringLiteral("videos/warmup.avi"), "avi");
    k.context.handOver.measuredVideoFile = odd;
    k.context.handOver.jumpRecording = odd;
    k.context.tournament().videoSavePolicy = SavePolicy::Ask;
    k.prompter.answer(Answer::Yes);
    k.context.pictureKeeper().applyVideoPolicy();
    EXPECT_EQ(k.prompter.texts().last(), PictureKeeper::kNotStandardVideoText);
    EXPECT_TRUE(QFile::exists(odd));
    EXPECT_FALSE(QFile::exists(odd + QStringLiteral(".info")));
}

// Lines written after midnight go on into the session log opened at start-up, where its start
// line is and where the log viewers look, not into a new day's file.
TEST(PictureKeeper, LinesAfterMidnightGoToTheSessionLogOpenedAtStart)
{
    Keeper k;
    openDaySessionLog(k.context);
    const QString opened = k.videos + QStringLiteral("/JumpMeasurementLog120826.txt");
    ASSERT_TRUE(QFile::exists(opened));

    k.clock.set(QDateTime(QDate(2026, 12, 9), QTime(0, 5, 0)));
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    const QString video = k.dirs.writeFile(QStringLiteral("videos/Skier Ajump12.avi"), "avi");
    k.context.handOver.measuredVideoFile = video;
    k.context.handOver.jumpRecording = video;
    k.context.tournament().videoSavePolicy = SavePolicy::Save;
    k.context.pictureKeeper().applyVideoPolicy();

    const QStringList lines =
        QString::fromUtf8(TestDirs::readFile(opened)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4); // start line, picture line, video line, and the end
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("Skelvin Measurement Session started  ")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("12-09-2026    00:05:00")));
    EXPECT_TRUE(lines[1].endsWith(k.picture()));
    EXPECT_TRUE(lines[2].endsWith(video));
    EXPECT_FALSE(QFile::exists(k.videos + QStringLiteral("/JumpMeasurementLog120926.txt")));
}

TEST(PictureKeeper, NoPictureIsToldAndNothingIsSaved)
{
    Keeper k;
    QFile::remove(k.context.paths().currentCapture());
    EXPECT_FALSE(k.context.pictureKeeper().SavePict(k.state));
    EXPECT_EQ(k.prompter.texts(), QStringList{PictureKeeper::kNoPictureText});
    EXPECT_FALSE(QFile::exists(k.picture()));

    // The policy has nothing to ask about either.
    k.prompter.clear();
    k.context.pictureKeeper().applyPicturePolicy(k.state);
    EXPECT_TRUE(k.prompter.prompts().isEmpty());
}

// Every file kept is listed in the session log beside it: after the video folder changed
// during the day, in the new folder's log; a video whose log line the viewer could not list
// (".AVI") is warned about and not logged.
TEST(PictureKeeper, KeptFilesAreLoggedWhereTheyAreAndOnlyWhereTheViewerListsThem)
{
    Keeper k;
    openDaySessionLog(k.context);
    const QString firstLog = k.videos + QStringLiteral("/JumpMeasurementLog120826.txt");
    ASSERT_TRUE(QFile::exists(firstLog));

    const QString moved = k.dirs.file(QStringLiteral("second"));
    QDir().mkpath(moved);
    k.context.videoDirectory = moved;
    ASSERT_TRUE(k.context.pictureKeeper().SavePict(k.state));
    const QString video = k.dirs.writeFile(QStringLiteral("second/Skier Ajump3.avi"), "avi");
    k.context.handOver.measuredVideoFile = video;
    k.context.handOver.jumpRecording = video;
    k.context.tournament().videoSavePolicy = SavePolicy::Save;
    k.context.pictureKeeper().applyVideoPolicy();

    const QByteArray secondLog = TestDirs::readFile(moved + QStringLiteral("/JumpMeasurementLog120826.txt"));
    EXPECT_TRUE(secondLog.contains("File: " + (moved + QStringLiteral("/Skier Ajump3.bmp")).toUtf8()));
    EXPECT_TRUE(secondLog.contains("File: " + video.toUtf8()));
    EXPECT_FALSE(TestDirs::readFile(firstLog).contains("File:"));

    const QString capitals = k.dirs.writeFile(QStringLiteral("second/Skier Ajump4.AVI"), "avi");
    k.context.handOver.measuredVideoFile = capitals;
    k.context.handOver.jumpRecording = capitals;
    k.prompter.answer(Answer::Ok);
    k.context.pictureKeeper().applyVideoPolicy();
    EXPECT_EQ(k.prompter.texts(), QStringList{PictureKeeper::kNotStandardVideoText});
    EXPECT_TRUE(QFile::exists(capitals));
    EXPECT_FALSE(TestDirs::readFile(moved + QStringLiteral("/JumpMeasurementLog120826.txt"))
                     .contains("AVI"));
}
