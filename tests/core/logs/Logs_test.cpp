#include "core/common/Clock.h"
#include "core/common/TextFile.h"
#include "core/logs/DebugLog.h"
#include "core/logs/SessionLog.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

TEST(SessionLog, StartLinesAppendToTheDaysFile)
{
    TestDirs dirs;
    const QString videos = dirs.file(QStringLiteral("videos"));
    QDir().mkpath(videos);
    FixedClock clock(QDateTime(QDate(2027, 2, 1), QTime(9, 5, 7)));

    const SessionStart first = openSessionLog(videos + QStringLiteral("/ "), clock);
    EXPECT_FALSE(first.failure);
    EXPECT_EQ(first.logName, QStringLiteral("JumpMeasurementLog020127.txt"));
    clock.set(QDateTime(QDate(2027, 2, 1), QTime(23, 59, 59)));
    openSessionLog(videos, clock);
    clock.set(QDateTime(QDate(2027, 2, 2), QTime(0, 0, 1)));
    EXPECT_EQ(openSessionLog(videos, clock).logName, QStringLiteral("JumpMeasurementLog020227.txt"));

    EXPECT_EQ(TestDirs::readFile(videos + QStringLiteral("/JumpMeasurementLog020127.txt")),
              QByteArray("02-01-2027    09:05:07      Skelvin Measurement Session started  \r\n"
                         "02-01-2027    23:59:59      Skelvin Measurement Session started  \r\n"));
    EXPECT_TRUE(QFile::exists(videos + QStringLiteral("/JumpMeasurementLog020227.txt")));

    EXPECT_EQ(openSessionLog(QStringLiteral("  "), clock).logName, QString());
    EXPECT_TRUE(openSessionLog(dirs.file(QStringLiteral("gone")), clock).failure.has_value());
}

TEST(SessionLog, VideoAndPictureLinesEndWithTheirFile)
{
    const QString video = VideoLogLine(QStringLiteral("12-07-2026"), QStringLiteral("09:28:39"),
                                       QStringLiteral("Skier A"), QStringLiteral("12"), 45,
                                       QStringLiteral("/v/Skier Ajump12.avi"));
    EXPECT_EQ(video, QStringLiteral("12-07-2026    09:28:39      Skier: Skier A              "
                                    "Jump: 12      Contact Frame:  45          File: /v/Skier Ajump12.avi"));
    const QString picture = PictureLogLine(QStringLiteral("12-07-2026"), QStringLiteral("09:28:39"),
                                           QStringLiteral("Bo"), 3, QStringLiteral(" 45.1m"),
                                           QStringLiteral("/v/Bojump3.bmp"));
    EXPECT_EQ(picture, QStringLiteral("12-07-2026    09:28:39      Skier: Bo     Jump:  3      "
                                      "Distance:  45.1m            File: /v/Bojump3.bmp"));
    EXPECT_EQ(picture.mid(picture.indexOf(QStringLiteral("File:")) + 6), QStringLiteral("/v/Bojump3.bmp"));

    const auto parts = videoNameParts(QStringLiteral("/v/Skier Ajump12.avi"));
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->skier, QStringLiteral("Skier A"));
    EXPECT_EQ(parts->jump, QStringLiteral("12"));
    EXPECT_EQ(videoNameParts(QStringLiteral("/v/Skier Ajump123.avi"))->jump, QStringLiteral("123"));
    EXPECT_FALSE(videoNameParts(QStringLiteral("/v/Skier A take 1.avi")).has_value());
    EXPECT_FALSE(videoNameParts(QStringLiteral("/jump/Skier A1234.avi")).has_value());
    EXPECT_FALSE(videoNameParts(QStringLiteral("x.avi")).has_value());
    EXPECT_FALSE(videoNameParts(QStringLiteral("/v/Skierjump3.mp4")).has_value());
}

// The skier and attempt of a logged line, read back as they were written, also for a name
// that holds the word "Jump:" and a path with blanks.
TEST(SessionLog, ALoggedLineGivesBackItsSkierAndAttempt)
{
    const QString picture = PictureLogLine(QStringLiteral("12-07-2026"), QStringLiteral("09:28:39"),
                                           QStringLiteral("Jump: Bo"), 3, QStringLiteral(" 45.1m"),
                                           QStringLiteral("/v/my pics/Jump: Bojump3.bmp"));
    const auto jump = loggedJumpOf(picture);
    ASSERT_TRUE(jump.has_value());
    EXPECT_EQ(jump->skier, QStringLiteral("Jump: Bo"));
    EXPECT_EQ(jump->jump, QStringLiteral("3"));
    const auto video = loggedJumpOf(VideoLogLine(QStringLiteral("12-07-2026"), QStringLiteral("09:28:39"),
                                                 QStringLiteral("Skier A"), QStringLiteral("12"), 45,
                                                 QStringLiteral("/v/Skier Ajump12.avi")));
    ASSERT_TRUE(video.has_value());
    EXPECT_EQ(video->skier, QStringLiteral("Skier A"));
    EXPECT_EQ(video->jump, QStringLiteral("12"));
    EXPECT_FALSE(loggedJumpOf(QStringLiteral("12-07-2026    09:28:39      no fields here.bmp")));
}

TEST(DebugLog, EveryStartEmptiesTheLogAndAFailureIsToldOnce)
{
    TestDirs dirs;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(8, 1, 2)));
    ScriptedPrompter prompter;
    DebugLog log(dirs.paths(), clock, prompter);
    log.DebugLogWrite(QStringLiteral("left over"));
    log.DebugLogStart();
    log.DebugLogWrite(QStringLiteral("MainForm Load"));
    EXPECT_EQ(TestDirs::readFile(dirs.paths().debugLog()),
              QByteArray("08:01:02      Debug Log Session Started\r\n08:01:02      MainForm Load\r\n"));
    EXPECT_TRUE(prompter.prompts().isEmpty());

    TestDirs noExchange(false);
    ScriptedPrompter told;
    DebugLog missing(noExchange.paths(), clock, told);
    missing.DebugLogStart();
    missing.DebugLogWrite(QStringLiteral("a"));
    missing.DebugLogWrite(QStringLiteral("b"));
    ASSERT_EQ(told.prompts().size(), 1);
    EXPECT_EQ(told.prompts()[0].text, QStringLiteral("Error occurred while trying to close file, please retry."));
    EXPECT_EQ(told.prompts()[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(QDir(noExchange.file(QStringLiteral("drive/qvio"))).exists()); // never created
}
