#include "core/common/Clock.h"
#include "core/common/DelimitedFields.h"
#include "core/common/PrintLine.h"
#include "core/common/TextFile.h"
#include "support/TestDirs.h"

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::TestDirs;

TEST(DelimitedFields, SplitsOnCommasAndHonoursQuotes)
{
    EXPECT_EQ(splitDelimitedFields(QStringLiteral(" 10560 , 1305 , 48.2 , 61.75 ")),
              (QStringList{QStringLiteral("10560 "), QStringLiteral("1305 "),
                           QStringLiteral("48.2 "), QStringLiteral("61.75 ")}));
    EXPECT_EQ(splitDelimitedFields(QStringLiteral("\"Smith, John\", 3")),
              (QStringList{QStringLiteral("Smith, John"), QStringLiteral("3")}));
    EXPECT_EQ(splitDelimitedFields(QString()), QStringList{QString()});
    EXPECT_EQ(splitDelimitedFields(QStringLiteral("a,")), (QStringList{QStringLiteral("a"), QString()}));
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(splitDelimitedFields(QStringLiteral("\"open, end")), QStringList{QStringLiteral("open, end")});
}

TEST(PrintLine, ItemsFallIntoFourteenColumnZones)
{
    EXPECT_EQ(PrintLine().item(QStringLiteral("12-07-2026")).zone().item(QStringLiteral("09:28:39")).zone().item(QStringLiteral("x")).text(),
              QStringLiteral("12-07-2026    09:28:39      x"));
    // An item that fills its zone exactly is followed by a whole zone of blanks.
    EXPECT_EQ(PrintLine().item(QString(14, QLatin1Char('a'))).zone().item(QStringLiteral("b")).text(),
              QString(14, QLatin1Char('a')) + QString(14, QLatin1Char(' ')) + QStringLiteral("b"));
    EXPECT_EQ(PrintLine().item(QString(20, QLatin1Char('a'))).zone().text().size(), 28);
}

TEST(Clock, DateAndTimeTextsIgnoreRegionalSettings)
{
    FixedClock clock(QDateTime(QDate(2027, 2, 1), QTime(9, 5, 7)));
    EXPECT_EQ(clock.dateText(), QStringLiteral("02-01-2027"));
    EXPECT_EQ(clock.timeText(), QStringLiteral("09:05:07"));
    EXPECT_EQ(dayStamp(clock.dateText()), QStringLiteral("020127"));
    clock.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    EXPECT_EQ(clock.dateText() + QLatin1Char(' ') + clock.timeText(), QStringLiteral("12-31-2026 23:59:59"));
}

TEST(TextFile, WritesCrLfAndReadsBothLineEndsAndOldCodePage)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("a.txt"));
    ASSERT_FALSE(writeTextLines(path, {QStringLiteral("one"), QStringLiteral("Zoë")}));
    ASSERT_FALSE(appendTextLines(path, {QStringLiteral("three")}));
    EXPECT_EQ(TestDirs::readFile(path), QByteArray("one\r\nZo\xc3\xab\r\nthree\r\n"));
    EXPECT_EQ(readTextLines(path).value(),
              (QStringList{QStringLiteral("one"), QStringLiteral("Zoë"), QStringLiteral("three")}));

    const QString old = dirs.writeFile(QStringLiteral("old.txt"), QByteArray("Zo\xeb\n\x80 5\nlast"));
    EXPECT_EQ(readTextLines(old).value(),
              (QStringList{QStringLiteral("Zoë"), QStringLiteral("€ 5"), QStringLiteral("last")}));

    const auto missing = readTextLines(dirs.file(QStringLiteral("nope/x.txt")));
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().contains(QStringLiteral("nope/x.txt")));
    EXPECT_TRUE(appendTextLines(dirs.file(QStringLiteral("nope/x.txt")), {QStringLiteral("x")}).has_value());
}
