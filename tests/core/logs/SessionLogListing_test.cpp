#include "core/common/FileAccessible.h"
#include "core/common/SkierNamesFile.h"
#include "core/common/TextFile.h"
#include "core/logs/SessionLog.h"
#include "core/logs/SessionLogListing.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace skelvin;
using skelvin::test::TestDirs;

namespace {

const QString kDate = QStringLiteral("12-08-2026");
const QString kTime = QStringLiteral("09:28:39");

QString videoLine(const QString &path)
{
    return VideoLogLine(kDate, kTime, QStringLiteral("Jane Doe"), QStringLiteral("2"), 45, path);
}

QString pictureLine(const QString &path)
{
    return PictureLogLine(kDate, kTime, QStringLiteral("Jane Doe"), 2, QStringLiteral(" 45.1m"),
                          path);
}

} // namespace

// The viewers list a line by its last three characters and take the path after "File: " whole.
TEST(SessionLogListing, KeepsTheLinesOfItsTypeExactlyAndTheirWholePaths)
{
    TestDirs dirs;
    const QString start = SessionStartLine(kDate, kTime);
    const QString log = dirs.file(QStringLiteral("JumpMeasurementLog120826.txt"));
    const QString video = videoLine(QStringLiteral("C:\\Video\\Jane Doejump2.avi"));
    const QString upper = videoLine(QStringLiteral("/v/OLD CAMERAjump1.AVI"));
    const QString picture = pictureLine(QStringLiteral("/v/pictures/Jane Doejump2.bmp"));
    ASSERT_FALSE(writeTextLines(log, {start, video, upper, start, picture, QStringLiteral("avi")}));

    SessionLogListing videos(SessionLogListing::kVideoType);
    videos.openAtStart(log);
    EXPECT_EQ(videos.logPath(), log);
    EXPECT_EQ(videos.lines(), (QStringList{video, QStringLiteral("avi")}));
    SessionLogListing pictures(SessionLogListing::kPictureType);
    pictures.openAtStart(log);
    EXPECT_EQ(pictures.lines(), QStringList{picture});

    videos.select(0);
    EXPECT_EQ(videos.chosenFile(), QStringLiteral("C:\\Video\\Jane Doejump2.avi"));
    pictures.select(0);
    EXPECT_EQ(pictures.chosenFile(), QStringLiteral("/v/pictures/Jane Doejump2.bmp"));
    // A line without "File:" empties the choice; only the first "File:" counts.
    videos.select(1);
    EXPECT_EQ(videos.chosenFile(), QString());
    EXPECT_EQ(SessionLogListing::filePath(QStringLiteral("x File: /v/File: a.avi")),
              QStringLiteral("/v/File: a.avi"));

    // A day with only session starts lists nothing in either viewer.
    const QString startsOnly = dirs.file(QStringLiteral("JumpMeasurementLog120726.txt"));
    ASSERT_FALSE(writeTextLines(startsOnly, {start, start}));
    videos.choose(startsOnly);
    pictures.choose(startsOnly);
    EXPECT_TRUE(videos.lines().isEmpty());
    EXPECT_TRUE(pictures.lines().isEmpty());
    EXPECT_EQ(videos.logPath(), startsOnly);
}

TEST(SessionLogListing, AMissingLogListsNothingAndACancelledDialogKeepsTheLogShown)
{
    TestDirs dirs;
    const QString today = dirs.file(QStringLiteral("JumpMeasurementLog120826.txt"));

    // No log yet today: an empty list and no path.
    SessionLogListing listing(SessionLogListing::kVideoType);
    listing.openAtStart(today);
    EXPECT_TRUE(listing.lines().isEmpty());
    EXPECT_EQ(listing.logPath(), QString());
    listing.choose(std::nullopt);
    EXPECT_TRUE(listing.lines().isEmpty());
    EXPECT_EQ(listing.logPath(), QString());

    const QString first = videoLine(QStringLiteral("/v/Ajump1.avi"));
    ASSERT_FALSE(writeTextLines(today, {first}));
    listing.openAtStart(today);
    ASSERT_EQ(listing.lines(), QStringList{first});

    // Cancelling keeps the log on show, read again with what was added since.
    const QString second = videoLine(QStringLiteral("/v/Ajump2.avi"));
    ASSERT_FALSE(appendTextLines(today, {second}));
    listing.choose(std::nullopt);
    EXPECT_EQ(listing.logPath(), today);
    EXPECT_EQ(listing.lines(), (QStringList{first, second}));

    // A chosen log that cannot be read stays named, with an empty list.
    const QString gone = dirs.file(QStringLiteral("JumpMeasurementLog010126.txt"));
    listing.choose(gone);
    EXPECT_EQ(listing.logPath(), gone);
    EXPECT_TRUE(listing.lines().isEmpty());
}

TEST(SessionLogListing, TheFirstOfEquallyLongLinesIsTheLongest)
{
    EXPECT_EQ(SessionLogListing::longestLine({}), -1);
    EXPECT_EQ(SessionLogListing::longestLine({QStringLiteral("ab"), QStringLiteral("abcd"),
                                              QStringLiteral("wxyz"), QStringLiteral("abc")}),
              1);
}

TEST(FileAccessible, OnlyAFileThatOpensIsAccessible)
{
    TestDirs dirs;
    const QString file = dirs.writeFile(QStringLiteral("a.txt"), "x");
    EXPECT_TRUE(FileAccessible(file));
    EXPECT_FALSE(FileAccessible(dirs.file(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(FileAccessible(dirs.root()));
    EXPECT_FALSE(FileAccessible(QString()));
    if (::geteuid() != 0) {
        QFile::setPermissions(file, QFileDevice::WriteOwner);
        EXPECT_FALSE(FileAccessible(file));
    }
}

TEST(SkierNamesFile, CommasBecomeBlanksAndEmptyLinesAreSkipped)
{
    TestDirs dirs;
    const QString path =
        dirs.writeFile(QStringLiteral("SkierNames.txt"), "Doe, Jane\r\n\r\nRoe,Rita\r\nSmith\r\n");
    const Result<QStringList> names = SkierNamesFile::readNames(path);
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names.value(), (QStringList{QStringLiteral("Doe  Jane"), QStringLiteral("Roe Rita"),
                                          QStringLiteral("Smith")}));
    EXPECT_EQ(SkierNamesFile::firstName(path), QStringLiteral("Doe  Jane"));

    // The capture screen proposes the first line only: an empty first line proposes nothing.
    const QString blankFirst = dirs.writeFile(QStringLiteral("blank.txt"), "\r\nDoe\r\n");
    EXPECT_EQ(SkierNamesFile::firstName(blankFirst), QString());

    const QString gone = dirs.file(QStringLiteral("gone/SkierNames.txt"));
    const Result<QStringList> missing = SkierNamesFile::readNames(gone);
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().contains(gone));
}

// The measure screen's list from the file chosen on the configuration screen: quotes go wherever
// they stand, blanks around a name go, and a line of blanks gives no skier.
TEST(SkierNamesFile, TheMeasureListDropsQuotesAndBlanksAround)
{
    TestDirs dirs;
    const QString path = dirs.writeFile(
        QStringLiteral("names.txt"), "Doe,Jane\r\n\"Roe, Ann\"\r\n   \r\n  Poe, \r\nO\"Hara\r\n");
    EXPECT_EQ(SkierNamesFile::readListNames(path),
              (QStringList{QStringLiteral("Doe Jane"), QStringLiteral("Roe  Ann"),
                           QStringLiteral("Poe"), QStringLiteral("OHara")}));
    EXPECT_EQ(SkierNamesFile::readListNames(dirs.file(QStringLiteral("gone.txt"))), QStringList());
}
