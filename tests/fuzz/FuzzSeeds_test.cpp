#include "TestVideo.h"
#include "core/common/SettingsStore.h"
#include "core/common/TextFile.h"
#include "core/frames/FramePicture.h"
#include "core/frames/cDIB.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/logs/SessionLog.h"
#include "support/TestDirs.h"
#include "support/TestGrids.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using namespace test;

// Writes the seeds of the fuzz targets: files as the program and its tests write them. Run by
// hand when a reader's files change:
//   SKELVIN_FUZZ_SEEDS=tests/data/fuzz build/tests/fuzz_tests \
//       --gtest_also_run_disabled_tests --gtest_filter='FuzzSeeds.*'
class FuzzSeeds : public testing::Test
{
protected:
    static void put(const char *target, const QString &name, const QByteArray &bytes)
    {
        const QString folder = qEnvironmentVariable("SKELVIN_FUZZ_SEEDS") + QLatin1Char('/') +
                               QLatin1String(target);
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray written(const std::function<void(const QString &)> &write)
    {
        const QString path = m_dirs.file(QStringLiteral("seed"));
        QFile::remove(path);
        write(path);
        return TestDirs::readFile(path);
    }

    TestDirs m_dirs;
};

TEST_F(FuzzSeeds, DISABLED_Write)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("SKELVIN_FUZZ_SEEDS"));
    const Grid grids[] = {perspectiveGrid(), straightDownGrid()};
    for (int n = 0; n < 2; ++n) {
        const QByteArray grid =
            written([&](const QString &p) { writeGridSetupFile(p, grids[n], n + 1); });
        const QByteArray check = written([&](const QString &p) {
            writeCheckBuoyFile(p, {6000, 4500}, QStringLiteral("20.5"), QStringLiteral("-3"));
        });
        put("grid_file_fuzzer", QStringLiteral("grid%1.ipt").arg(n + 1), grid + '\f' + check);
    }
    put("grid_file_fuzzer", QStringLiteral("no-check-buoy.ipt"),
        written([&](const QString &p) { writeGridSetupFile(p, grids[0], 2); }));

    put("side_file_fuzzer", QStringLiteral("video.info"),
        written([](const QString &p) {
            writeTextLines(p, {QStringLiteral("/home/op/Video/Jane Doejump2.avi,123")});
        }));
    put("exchange_fuzzer", QStringLiteral("qvskier.nam"),
        written([](const QString &p) {
            writeTextLines(p, {QStringLiteral("Jane Doe,USA,W1,Round 1")});
        }));
    put("exchange_fuzzer", QStringLiteral("clipflag.txt"),
        written([](const QString &p) { writeTextLines(p, {QStringLiteral("Ready,1")}); }));

    put("settings_fuzzer", QStringLiteral("DE05.conf"), written([](const QString &p) {
            SettingsStore settings(p);
            settings.write(QStringLiteral("TournamentName"), QStringLiteral("Club Cup"));
            settings.write(QStringLiteral("grids"), 2);
            settings.write(SettingsStore::gridFileKey(1), QStringLiteral("/tmp/grid1.ipt"));
            settings.writeFlag(QStringLiteral("right2left"), true);
            settings.write(QStringLiteral("labelcolor"), QStringLiteral("yellow"));
            settings.write(QStringLiteral("PictureSave"), QStringLiteral("Save"));
            settings.write(QStringLiteral("framerate"), QStringLiteral("29.97"));
        }));

    const QString date = QStringLiteral("12-08-2026");
    put("session_log_fuzzer", QStringLiteral("JumpMeasurementLog120826.txt"),
        written([&](const QString &p) {
            writeTextLines(
                p, {SessionStartLine(date, QStringLiteral("09:58:12")),
                    VideoLogLine(date, QStringLiteral("10:02:40"), QStringLiteral("Doe  Jane"),
                                 QStringLiteral("2"), 37,
                                 QStringLiteral("/home/op/Video/Doe  Janejump2.avi")),
                    PictureLogLine(date, QStringLiteral("10:02:41"), QStringLiteral("Doe  Jane"),
                                   2, QStringLiteral("54.1"),
                                   QStringLiteral("/home/op/Video/Doe  Jane2.bmp")),
                    SessionStartLine(date, QStringLiteral("13:00:00"))});
        }));
    put("skier_names_fuzzer", QStringLiteral("SkierNames.txt"), written([](const QString &p) {
            writeTextLines(p, {QStringLiteral("Doe, Jane"), QString(), QStringLiteral("Brown Alex"),
                               QStringLiteral("Müller, Jörg")});
        }));
    for (const QString &rtf : {QStringLiteral(SKELVIN_SOURCE_DIR "/resources/DE05Manual.rtf"),
                               QStringLiteral(SKELVIN_TEST_DATA_DIR "/rtf/libreoffice.rtf"),
                               QStringLiteral(SKELVIN_TEST_DATA_DIR "/rtf/abiword.rtf"),
                               QStringLiteral(SKELVIN_TEST_DATA_DIR "/rtf/wordpad.rtf")})
        put("rtf_fuzzer", rtf.section(QLatin1Char('/'), -1), TestDirs::readFile(rtf));

    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(stampedPicture(16, 8, 3))));
    put("bitmap_fuzzer", QStringLiteral("frame.bmp"), dib.fileBytes());

    struct Clip
    {
        const char *name;
        TestCodec codec;
        QList<int> dropped;
    };
    const Clip clips[] = {{"mjpeg.avi", TestCodec::MotionJpeg, {3}},
                          {"h264-bframes.avi", TestCodec::H264BFrames, {}},
                          {"mpeg4-packed.avi", TestCodec::Mpeg4Packed, {}},
                          {"raw.avi", TestCodec::Uncompressed, {2}}};
    for (const Clip &clip : clips) {
        TestVideoRecipe recipe;
        recipe.codec = clip.codec;
        recipe.width = 32;
        recipe.height = 16;
        recipe.frames = 8;
        recipe.gopFrames = 4;
        recipe.droppedFrames = clip.dropped;
        const QByteArray avi = written([&](const QString &p) {
            ASSERT_EQ(writeTestVideo(p + QStringLiteral(".avi"), recipe), QString());
            QFile::rename(p + QStringLiteral(".avi"), p);
        });
        for (const char *target : {"video_decoder_fuzzer", "mminfo_fuzzer", "riff_fuzzer"})
            put(target, QLatin1String(clip.name), avi);
    }
}

} // namespace
} // namespace skelvin
