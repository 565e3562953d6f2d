#include "support/TestDirs.h"

#include "core/common/FileFaults.h"
#include "core/common/SafeFile.h"
#include "core/common/TextFile.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

enum class Write { Append, Replace, Move };

struct Case
{
    Write write;
    FileFaultKind fault;
    qint64 bytesFree; // for a full disk: how far the write gets
};

// Each writer meets a fault on a file that holds two lines already: the message names the file
// and the reason, the two lines are still there byte for byte (no half line, no half file, no
// file left beside it), and the same write goes through once the fault is lifted.
class SafeFileFaults : public ::testing::TestWithParam<Case>
{
protected:
    void TearDown() override { FileFaults::clear(); }

    Failure write(const QString &path)
    {
        const QStringList line{QStringLiteral("12-08-2026 10:15:00 Jane Doe  jump 2 -  47.1m")};
        switch (GetParam().write) {
        case Write::Append:
            return appendTextLines(path, line);
        case Write::Replace:
            return writeTextLines(path, line);
        case Write::Move:
            break;
        }
        const QString picture = dirs.writeFile(QStringLiteral("app/currentcapture.bmp"), "BM new");
        return moveFileOver(picture, path);
    }

    TestDirs dirs;
};

std::string caseName(const ::testing::TestParamInfo<Case> &info)
{
    static const char *const writes[] = {"Append", "Replace", "Move"};
    return std::string(writes[int(info.param.write)]) +
           (info.param.fault == FileFaultKind::DiskFull ? "_DiskFull" : "_ReadOnly") +
           std::to_string(info.param.bytesFree);
}

TEST_P(SafeFileFaults, TellsTheFileAndReasonAndKeepsEveryByte)
{
    const QByteArray earlier = "first line\r\nsecond line\r\n";
    const QString path = dirs.writeFile(QStringLiteral("videos/file.txt"), earlier);
    const QString folder = QFileInfo(path).path();
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    FileFaults::set(folder, GetParam().fault, GetParam().bytesFree);
    const Failure failed = write(path);
    ASSERT_TRUE(failed);
    EXPECT_EQ(*failed, path + QStringLiteral(": ") +
                           (GetParam().fault == FileFaultKind::DiskFull
                                ? QStringLiteral("No space left on device")
                                : QStringLiteral("Read-only file system")));
    EXPECT_EQ(TestDirs::readFile(path), earlier);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), entries);

    FileFaults::clear(folder);
    ASSERT_EQ(write(path), std::nullopt);
    const QByteArray now = TestDirs::readFile(path);
    if (GetParam().write == Write::Append)
        EXPECT_EQ(now, earlier + "12-08-2026 10:15:00 Jane Doe  jump 2 -  47.1m\r\n");
    else
        EXPECT_NE(now, earlier);
}

INSTANTIATE_TEST_SUITE_P(Writers, SafeFileFaults,
                         ::testing::Values(Case{Write::Append, FileFaultKind::DiskFull, 0},
                                           Case{Write::Append, FileFaultKind::DiskFull,
                                                9}, // half a line got out
                                           Case{Write::Append, FileFaultKind::ReadOnly, 0},
                                           Case{Write::Replace, FileFaultKind::DiskFull, 0},
                                           Case{Write::Replace, FileFaultKind::DiskFull, 9},
                                           Case{Write::Replace, FileFaultKind::ReadOnly, 0},
                                           Case{Write::Move, FileFaultKind::DiskFull, 0},
                                           Case{Write::Move, FileFaultKind::ReadOnly, 0}),
                         caseName);

// The same on a real disk that fills up: a 64 KiB memory file system mounted for the test (the
// machine must allow it; otherwise the test says why it did not run).
TEST(SafeFileOnAFullDisk, AppendsAndReplacesKeepEveryByteAndRecover)
{
    TestDirs dirs;
    const QString mountPoint = dirs.file(QStringLiteral("tiny"));
    QDir().mkpath(mountPoint);
    if (::mount("skelvin-test", QFile::encodeName(mountPoint).constData(), "tmpfs", 0,
                "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the full disk is only simulated in the other tests";
    struct Unmount
    {
        QString at;
        ~Unmount() { ::umount2(QFile::encodeName(at).constData(), MNT_DETACH); }
    } unmount{mountPoint};

    const QString results = mountPoint + QStringLiteral("/JumpMeasurementResults120826.txt");
    const QString grid = mountPoint + QStringLiteral("/grid1.ipt");
    const QString line = QStringLiteral("12-08-2026 10:15:00 Jane Doe  jump 2 -  47.1m  (IWSF)");
    ASSERT_EQ(writeTextLines(grid, {QStringLiteral("Initialization Points for file: ") + grid,
                                    QStringLiteral("east camera")}),
              std::nullopt);
    const QByteArray gridBefore = TestDirs::readFile(grid);

    // Fill the disk with results lines until one does not fit.
    int written = 0;
    Failure failed;
    while (!(failed = appendTextLines(results, {line})) && written < 10000)
        ++written;
    ASSERT_TRUE(failed) << "the disk never filled";
    EXPECT_EQ(*failed, results + QStringLiteral(": No space left on device"));
    const QByteArray full = TestDirs::readFile(results);
    EXPECT_EQ(full.size(), qsizetype(written) * (line.size() + 2));
    EXPECT_TRUE(full.endsWith("\r\n"));

    // Replacing the grid on the full disk fails and keeps the old file.
    const Failure gridFailed =
        writeTextLines(grid, {QStringLiteral("new"), QStringLiteral("grid")});
    ASSERT_TRUE(gridFailed);
    EXPECT_TRUE(gridFailed->startsWith(grid + QStringLiteral(": "))) << qPrintable(*gridFailed);
    EXPECT_EQ(TestDirs::readFile(grid), gridBefore);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QFileInfo(grid).fileName(), QFileInfo(results).fileName()}));

    // Room made again: the next line goes on after the last whole one.
    ASSERT_TRUE(QFile(results).resize(full.size() / 2 / (line.size() + 2) * (line.size() + 2)));
    const qint64 kept = QFileInfo(results).size();
    ASSERT_EQ(appendTextLines(results, {line}), std::nullopt);
    EXPECT_EQ(QFileInfo(results).size(), kept + line.size() + 2);
    EXPECT_EQ(writeTextLines(grid, {QStringLiteral("new"), QStringLiteral("grid")}), std::nullopt);
}

} // namespace
