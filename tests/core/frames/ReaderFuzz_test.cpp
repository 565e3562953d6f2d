#include "core/frames/FramePicture.h"
#include "core/frames/RiffAviReader.h"
#include "core/frames/cDIB.h"

#include "TestVideo.h"
#include "support/Damage.h"
#include "support/TestDirs.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <random>

namespace skelvin {
namespace {

using namespace test;

// Stands for the libFuzzer targets in fuzz/ in every test run: damaged AVI headers and bitmap
// files give an error or a result, never a crash, a hang or a huge allocation.
TEST(ReaderFuzz, DamagedAviHeadersAndBitmapsNeverCrash)
{
    TestDirs dirs;
    TestVideoRecipe recipe;
    recipe.frames = 6;
    const QString path = dirs.file(QStringLiteral("clip.avi"));
    ASSERT_EQ(writeTestVideo(path, recipe), QString());
    const QByteArray avi = TestDirs::readFile(path);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(stampedPicture(16, 8, 3))));
    const QByteArray bitmap = dib.fileBytes();

    std::mt19937 random(20050601);
    int aviRead = 0;
    int bitmapRead = 0;
    for (int i = 0; i < 3000; ++i) {
        QBuffer aviBuffer;
        aviBuffer.setData(mutate(avi, random));
        aviBuffer.open(QIODevice::ReadOnly);
        if (RiffAviReader(aviBuffer).read())
            ++aviRead;

        QBuffer bitmapBuffer;
        bitmapBuffer.setData(mutate(bitmap, random));
        bitmapBuffer.open(QIODevice::ReadOnly);
        cDIB read;
        if (read.CreateFromDevice(bitmapBuffer)) {
            ++bitmapRead;
            // What was read is what the file holds, no more.
            ASSERT_LE(qint64(read.SizeBitmapInfo()), bitmapBuffer.size());
        }
    }
    // Both kinds of outcome happened, so the damage reached the checks.
    EXPECT_GT(aviRead, 0);
    EXPECT_LT(aviRead, 3000);
    EXPECT_GT(bitmapRead, 0);
    EXPECT_LT(bitmapRead, 3000);
}

} // namespace
} // namespace skelvin
