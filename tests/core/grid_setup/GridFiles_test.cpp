#include "core/common/Prompter.h"
#include "core/common/TextFile.h"
#include "core/geometry/GridRecord.h"
#include "core/geometry/GridStore.h"
#include "core/grid_setup/GridFileLoader.h"
#include "core/grid_setup/GridSetupFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::ScriptedPrompter;
using skelvin::test::TestDirs;

namespace {

Grid sampleGrid()
{
    Grid g;
    g.description = QStringLiteral("Lake Ski, east camera \"B\"");
    g.corners[0] = {{10560, 1305}, {48.2, 61.75}};
    g.corners[1] = {{11400, 8100}, {48.25, 20.5}};
    g.corners[2] = {{1500, 1290}, {-12.5, 61.8}};
    g.corners[3] = {{600, 8220}, {-12.75, 20.25}};
    g.transform.c = {-14.2087511474329, 0.00546532245391, 1.0 / 3.0, 0.0000123, -0.0000045,
                     71.1234567890123, -0.000312, -0.00687};
    g.jump = {17.5, -3.25};
    return g;
}

QByteArray crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

} // namespace

TEST(GridSetupFile, WritesNineteenCrLfLinesInTheFileLayout)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("grid1.ipt"));
    ASSERT_FALSE(writeGridSetupFile(path, sampleGrid(), 2));
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {5400, 4650}, QStringLiteral("20.5"),
                                    QStringLiteral("40")));

    const QByteArray bytes = TestDirs::readFile(path);
    EXPECT_EQ(bytes.count("\r\n"), 19);
    EXPECT_EQ(bytes.count('\n'), 19);
    const QStringList lines = readTextLines(path).value();
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[0], QStringLiteral("Initialization Points for file: ") + path);
    EXPECT_EQ(lines[1], sampleGrid().description);
    EXPECT_EQ(lines[2], QStringLiteral(" 10560 , 1305 , 48.2 , 61.75 "));
    EXPECT_EQ(lines[4], QStringLiteral(" 1500 , 1290 ,-12.5 , 61.8 "));
    EXPECT_EQ(lines[6], QStringLiteral("-14.2087511474329 "));
    EXPECT_EQ(lines[8], QStringLiteral(" .333333333333333 "));
    EXPECT_EQ(lines[9], QStringLiteral(" 1.23E-05 "));
    EXPECT_EQ(lines[10], QStringLiteral("-4.5E-06 "));
    EXPECT_EQ(lines[14], QStringLiteral(" 17.5 "));
    EXPECT_EQ(lines[15], QStringLiteral("-3.25 "));
    EXPECT_EQ(lines.mid(16), (QStringList{QStringLiteral(" 10 "), QStringLiteral(" 2 "), QStringLiteral(" 2 ")}));

    EXPECT_EQ(TestDirs::readFile(path + QStringLiteral(".cb")), QByteArray(" 5400 \r\n 4650 \r\n20.5\r\n40\r\n"));
}

TEST(GridSetupFile, SaveThenLoadGivesBackEveryValueTo15Digits)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("grid, \"one\".ipt"));
    const Grid saved = sampleGrid();
    ASSERT_FALSE(writeGridSetupFile(path, saved, 1));
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(path), {5400.5, 4650}, QStringLiteral("-20.125"), QStringLiteral("40")));

    const auto files = readGridFiles(path);
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    EXPECT_EQ(files->grid.savedAs, path);
    EXPECT_EQ(files->grid.description, saved.description);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(files->grid.corners[i].screen.x, saved.corners[i].screen.x);
        EXPECT_EQ(files->grid.corners[i].survey.y, saved.corners[i].survey.y);
    }
    for (size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(files->grid.transform.c[i], saved.transform.c[i], std::abs(saved.transform.c[i]) * 1e-14);
    EXPECT_EQ(files->grid.jump.x, 17.5);
    EXPECT_EQ(files->grid.jump.y, -3.25);
    ASSERT_TRUE(files->checkBuoy.has_value());
    EXPECT_EQ(files->checkBuoy->screen.x, 5400.5);
    EXPECT_EQ(files->checkBuoy->survey.x, -20.125);
    EXPECT_EQ(files->checkBuoy->surveyXText, QStringLiteral("-20.125"));
}

TEST(GridSetupFile, ReadsLfOnlyFilesAndOlderSetupsWithoutCheckBuoy)
{
    TestDirs dirs;
    QStringList lines = gridSetupFileLines(QStringLiteral("C:\\grids\\g.ipt"), sampleGrid(), 1);
    const QString path = dirs.writeFile(QStringLiteral("lf.ipt"), lines.join(QLatin1Char('\n')).toUtf8());
    const auto files = readGridFiles(path);
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    EXPECT_FALSE(files->checkBuoy.has_value());
    EXPECT_EQ(files->grid.savedAs, QStringLiteral("C:\\grids\\g.ipt"));
    EXPECT_EQ(files->grid.corners[2].survey.x, -12.5);
}

TEST(GridSetupFile, MalformedFilesFailWithTheLineNamed)
{
    TestDirs dirs;
    QStringList lines = gridSetupFileLines(QStringLiteral("g.ipt"), sampleGrid(), 1);
    lines[4] = QStringLiteral(" 1500 , abc , 1 , 2 ");
    auto bad = readGridSetupFile(dirs.writeFile(QStringLiteral("bad.ipt"), crlf(lines)));
    ASSERT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error().contains(QStringLiteral("line 5"))) << bad.error().toStdString();

    lines = gridSetupFileLines(QStringLiteral("g.ipt"), sampleGrid(), 1).mid(0, 12);
    bad = readGridSetupFile(dirs.writeFile(QStringLiteral("short.ipt"), crlf(lines)));
    ASSERT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error().contains(QStringLiteral("line 13 is missing"))) << bad.error().toStdString();

    EXPECT_FALSE(readGridSetupFile(dirs.writeFile(QStringLiteral("empty.ipt"), QByteArray())).ok());
    EXPECT_FALSE(readGridSetupFile(dirs.file(QStringLiteral("missing.ipt"))).ok());

    const QString good = dirs.file(QStringLiteral("g2.ipt"));
    ASSERT_FALSE(writeGridSetupFile(good, sampleGrid(), 1));
    dirs.writeFile(QStringLiteral("g2.ipt.cb"), QByteArray(" 5400 \r\n"));
    EXPECT_FALSE(readGridFiles(good).ok());
}

TEST(GridSetupFile, RandomDamageGivesAnErrorOrAGridNeverACrash)
{
    // Cut, flip and splice bytes of a good pair of files; every read must return.
    const QStringList lines = gridSetupFileLines(QStringLiteral("g.ipt"), sampleGrid(), 1);
    const QByteArray good = crlf(lines);
    const QByteArray goodCb = crlf(checkBuoyFileLines({1, 2}, QStringLiteral("3"), QStringLiteral("4")));
    QRandomGenerator rng(20261208);
    const char alphabet[] = " ,\"\r\n-.E0123456789xa\xff\xc3";
    int failures = 0;
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes = round % 2 ? good : goodCb;
        const int edits = 1 + rng.bounded(6);
        for (int e = 0; e < edits; ++e) {
            const int pos = rng.bounded(static_cast<int>(bytes.size()) + 1);
            switch (rng.bounded(3)) {
            case 0: bytes.truncate(pos); break;
            case 1: if (pos < bytes.size()) bytes[pos] = alphabet[rng.bounded(int(sizeof alphabet) - 1)]; break;
            default: bytes.insert(pos, alphabet[rng.bounded(int(sizeof alphabet) - 1)]); break;
            }
        }
        QStringList split;
        for (const QByteArray &l : bytes.split('\n'))
            split << QString::fromLatin1(l);
        const bool ok = round % 2 ? parseGridSetupFile(split).ok() : parseCheckBuoyFile(split).ok();
        failures += ok ? 0 : 1;
    }
    EXPECT_GT(failures, 0);
}

TEST(GridRecord, EachCommandLabelsTheRecordItsWay)
{
    Grid g = sampleGrid();
    g.fileName = QStringLiteral("/grids/east.ipt");
    g.checkBuoyScreen = {5400, 4650};
    g.checkBuoySurvey = {20.5, 40};
    const GridRecordFields fields = gridRecordFieldsOf(g, 2);
    const QString date = QStringLiteral("12-08-2026");
    const QString time = QStringLiteral("10:11:12");

    const QStringList completion = gridRecordLines(fields, GridRecordKind::Completion, date, time);
    const QStringList expected = {
        QStringLiteral("12-08-2026 10:11:12 New Set-up now in place"),
        QStringLiteral("/grids/east.ipt"),
        g.description,
        QStringLiteral("Grid Number:  2 "),
        QStringLiteral(" "),
        QStringLiteral("Upper Left X,Y Pixels: 1500  1290"),
        QStringLiteral("Upper Left X,Y Survey: -12.5  61.8"),
        QStringLiteral(" "),
        QStringLiteral("Lower Left X,Y Pixels: 600  8220"),
        QStringLiteral("Lower Left X,Y Survey: -12.75  20.25"),
        QStringLiteral(" "),
        QStringLiteral("Upper Right X,Y Pixels: 10560  1305"),
        QStringLiteral("Upper Right X,Y Survey: 48.2  61.75"),
        QStringLiteral(" "),
        QStringLiteral("Lower Right X,Y Pixels: 11400  8100"),
        QStringLiteral("Lower Right X,Y Survey: 48.25  20.5"),
        QStringLiteral(" "),
        QStringLiteral("Jump X,Y Survey: 17.5  -3.25"),
        QStringLiteral(" "),
        QStringLiteral("Check Buoy X,Y Pixels:  5400    4650 "),
        QStringLiteral("Check Buoy X,Y Survey:  20.5    40 "),
        QStringLiteral(" "),
    };
    EXPECT_EQ(completion, expected);

    const QStringList load = gridRecordLines(fields, GridRecordKind::FileLoad, date, time);
    EXPECT_EQ(load[5], QStringLiteral("Upper Left X,Y Twips: 1500  1290"));
    EXPECT_EQ(load[19], QStringLiteral("Check Buoy X,Y Twips:  5400    4650 "));
    EXPECT_EQ(load[20], QStringLiteral("Check Buoyt X,Y Survey:  20.5    40 "));
    EXPECT_EQ(load.size(), 22);

    GridRecordFields noBuoy = fields;
    noBuoy.checkScreenX = 0;
    const QStringList old = gridRecordLines(noBuoy, GridRecordKind::FileLoad, date, time);
    EXPECT_EQ(old.mid(19), (QStringList{QStringLiteral("No check buoy for this set up"), QStringLiteral(" ")}));

    const QStringList startup = gridRecordLines(fields, GridRecordKind::StartupLoad, date, time);
    EXPECT_EQ(startup[11], QStringLiteral("Upper Right X,Y Twips: 10560  1305"));
    EXPECT_EQ(startup[19], QStringLiteral("Check Buoy X,Y Twips: 5400  4650"));
    EXPECT_EQ(startup[20], QStringLiteral("Check Buoy X,Y Survey: 20.5  40"));
}

TEST(LoadGridAtStartup, LoadsGridsWithCheckBuoyAndWarnsForOlderSetups)
{
    TestDirs dirs;
    const QString withBuoy = dirs.file(QStringLiteral("g1.ipt"));
    const QString without = dirs.file(QStringLiteral("g2.ipt"));
    Grid g = sampleGrid();
    ASSERT_FALSE(writeGridSetupFile(withBuoy, g, 1));
    ASSERT_FALSE(writeCheckBuoyFile(checkBuoyFilePath(withBuoy), {5400, 4650}, QStringLiteral("20.5"), QStringLiteral("40")));
    g.description = QStringLiteral("old");
    ASSERT_FALSE(writeGridSetupFile(without, g, 2));

    GridStore grids;
    grids.setGridCount(2);
    ScriptedPrompter prompter;
    const auto second = LoadGridAtStartup(grids, without, 2, prompter, QStringLiteral("12-08-2026"), QStringLiteral("08:00:00"));
    EXPECT_TRUE(second.fileRead);
    EXPECT_FALSE(second.loaded);
    EXPECT_TRUE(second.record.isEmpty());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error in load - no check buoy found - setup grid again")});
    EXPECT_EQ(grids.entry(2).description, QStringLiteral("old"));

    const auto first = LoadGridAtStartup(grids, withBuoy, 1, prompter, QStringLiteral("12-08-2026"), QStringLiteral("08:00:00"));
    EXPECT_TRUE(first.loaded);
    EXPECT_EQ(first.record.size(), 22);
    EXPECT_EQ(first.readyCount, 0);
    EXPECT_EQ(grids.currentGrid(), 1);
    EXPECT_EQ(grids.active().fileName, withBuoy);
    EXPECT_EQ(grids.distanceJump().y, -3.25);
    EXPECT_EQ(grids.directionSign(), -1); // upper right X 48.2 is not smaller than upper left -12.5
    EXPECT_TRUE(grids.gridLoaded(1));
    EXPECT_FALSE(grids.gridLoaded(2));

    const auto broken = LoadGridAtStartup(grids, dirs.writeFile(QStringLiteral("b.ipt"), "x\r\n"), 3, prompter,
                                          QStringLiteral("12-08-2026"), QStringLiteral("08:00:00"));
    EXPECT_FALSE(broken.fileRead);
    EXPECT_FALSE(broken.error.isEmpty());
    EXPECT_EQ(grids.currentGrid(), 1);
}
