#include "core/frames/FramePicture.h"
#include "core/frames/cDIB.h"

#include "TestVideo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

using namespace test;

quint32 u32At(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// A picture whose every pixel tells its own place: blue = x, green = y, red = 7.
QImage placePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(7, y & 0xff, x & 0xff));
    return image;
}

TEST(BitmapTest, A320By240FrameIsWrittenByteExactBottomUp)
{
    TestDirs dirs;
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(placePicture(320, 240))));
    EXPECT_EQ(dib.SizeImage(), 230400u);
    EXPECT_EQ(dib.SizeFileHeader(), 230454u);
    EXPECT_EQ(dib.BitOffset(), 54u);
    EXPECT_EQ(dib.FileType(), 19778);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40u);

    const QString path = dirs.file("currentcapture.bmp");
    ASSERT_TRUE(dib.WriteToFile(path));
    const QByteArray file = TestDirs::readFile(path);
    ASSERT_EQ(file.size(), 230454);
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    EXPECT_EQ(u32At(file, 2), 230454u);
    EXPECT_EQ(u32At(file, 6), 0u); // both reserved words
    EXPECT_EQ(u32At(file, 10), 54u);
    EXPECT_EQ(u32At(file, 14), 40u);
    EXPECT_EQ(qint32(u32At(file, 18)), 320);
    EXPECT_EQ(qint32(u32At(file, 22)), 240); // positive: bottom-up
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 26), 1);
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 28), 24);
    EXPECT_EQ(u32At(file, 30), 0u);
    EXPECT_EQ(u32At(file, 34), 230400u);
    for (int offset = 38; offset < 54; offset += 4)
        EXPECT_EQ(u32At(file, offset), 0u) << offset;

    // Rows of 960 bytes, the picture's bottom row first, pixels blue-green-red.
    const auto pixel = [&](int row, int x) { return file.mid(54 + row * 960 + 3 * x, 3); };
    EXPECT_EQ(pixel(0, 5), QByteArray::fromHex("05ef07"));     // x 5, y 239
    EXPECT_EQ(pixel(239, 200), QByteArray::fromHex("c80007")); // x 200, y 0

    // Read back, it is the same bitmap.
    ScriptedPrompter prompter;
    cDIB back;
    ASSERT_TRUE(back.CreateFromFile(path, prompter));
    EXPECT_EQ(back.fileBytes(), file);
    EXPECT_EQ(back.Width(), 320);
    EXPECT_EQ(back.Height(), 240);
    EXPECT_EQ(back.BitCount(), 24);
}

TEST(BitmapTest, OddWidthsPadEveryRowToFourBytes)
{
    const QByteArray packed = packedBitmap24(placePicture(3, 2));
    ASSERT_EQ(packed.size(), 40 + 2 * 12);
    EXPECT_EQ(packed.mid(40, 12), QByteArray::fromHex("000107"
                                                      "010107"
                                                      "020107"
                                                      "000000"));
}

TEST(BitmapTest, PackedBitmapsBelow16BitsOrWithoutPixelsAreRefusedQuietly)
{
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(placePicture(4, 4))));
    const QByteArray kept = dib.fileBytes();

    QByteArray eightBit = packedBitmap24(placePicture(4, 4));
    qToLittleEndian<quint16>(8, eightBit.data() + 14);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(eightBit));
    QByteArray noImage = packedBitmap24(placePicture(4, 4));
    qToLittleEndian<quint32>(0, noImage.data() + 20);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(noImage));
    // A header that promises more pixels than follow it is not read past its end.
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(packedBitmap24(placePicture(4, 4)).left(60)));
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(QByteArray(12, '\0')));
    EXPECT_EQ(dib.fileBytes(), kept);
}

TEST(BitmapTest, FilesThatAreNotWholeBitmapsAreRefusedWithTheirMessages)
{
    TestDirs dirs;
    ScriptedPrompter prompter;
    cDIB good;
    ASSERT_TRUE(good.CreateFromPackedDIBPointer(packedBitmap24(placePicture(16, 16))));
    const QByteArray bytes = good.fileBytes();

    const QString missing = dirs.file("none.bmp");
    const QString text =
        dirs.writeFile("text.bmp", "Hello, this is not a bitmap at all, really not.........");
    const QString cut = dirs.writeFile("cut.bmp", bytes.left(bytes.size() - 1));
    QByteArray farOffset = bytes;
    qToLittleEndian<quint32>(0x7fffffff, farOffset.data() + 10);
    const QString offset = dirs.writeFile("offset.bmp", farOffset);
    for (int i = 0; i < 4; ++i)
        prompter.answer(Answer::Ok);

    cDIB dib;
    EXPECT_FALSE(dib.CreateFromFile(missing, prompter));
    EXPECT_FALSE(dib.CreateFromFile(text, prompter));
    EXPECT_FALSE(dib.CreateFromFile(cut, prompter));
    EXPECT_FALSE(dib.CreateFromFile(offset, prompter));
    EXPECT_EQ(prompter.texts(), QStringList({"File does not exist:\n" + missing,
                                             "File is not a supported bitmap format:\n" + text,
                                             "File is not a supported bitmap format:\n" + cut,
                                             "File is not a supported bitmap format:\n" + offset}));
    EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(prompter.prompts()[1].icon, MessageIcon::Information);
}

TEST(BitmapTest, WritingToAPlaceThatCannotHoldTheFileSaysSo)
{
    TestDirs dirs;
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(packedBitmap24(placePicture(4, 4))));
    EXPECT_FALSE(dib.WriteToFile(dirs.file("no/such/folder/currentcapture.bmp")));
}

class FramePictureTest : public ::testing::Test
{
protected:
    TestDirs m_dirs;
    ScriptedPrompter m_prompter;
};

TEST_F(FramePictureTest, TheChosenFrameBecomesTheFramePicture)
{
    TestVideoRecipe recipe;
    recipe.codec = TestCodec::H264BFrames;
    recipe.frames = 24;
    const QString video = m_dirs.file("Jane Doejump2.avi");
    ASSERT_EQ(writeTestVideo(video, recipe), QString());
    const QString picture = m_dirs.file("currentcapture.bmp");

    ASSERT_TRUE(writeFramePicture(video, 13, picture, m_prompter));
    const QByteArray file = TestDirs::readFile(picture);
    EXPECT_EQ(file.size(), 54 + 64 * 3 * 48);
    QImage image;
    ASSERT_TRUE(image.loadFromData(file, "BMP"));
    EXPECT_EQ(readStamp(image), 13);
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
}

TEST_F(FramePictureTest, FailuresKeepTheEarlierPictureAndSaySo)
{
    TestVideoRecipe recipe;
    recipe.frames = 5;
    const QString video = m_dirs.file("clip.avi");
    ASSERT_EQ(writeTestVideo(video, recipe), QString());
    // The same file with a video format no decoder knows.
    QByteArray bytes = TestDirs::readFile(video);
    bytes.replace("MJPG", "QQQQ");
    const QString unknown = m_dirs.writeFile("unknown.avi", bytes);
    const QString picture = m_dirs.writeFile("currentcapture.bmp", "earlier picture");
    const QString missing = m_dirs.file("gone.avi");
    for (int i = 0; i < 4; ++i)
        m_prompter.answer(Answer::Ok);

    EXPECT_FALSE(writeFramePicture(unknown, 0, picture, m_prompter));
    EXPECT_FALSE(writeFramePicture(missing, 0, picture, m_prompter));
    EXPECT_FALSE(writeFramePicture(video, 5, picture, m_prompter)); // past the last frame
    EXPECT_FALSE(writeFramePicture(video, 1, m_dirs.file("no/folder/x.bmp"), m_prompter));
    EXPECT_EQ(m_prompter.texts(),
              QStringList({"No suitable decompressor found for this video stream!",
                           "There was an error working with the file:\n" + missing,
                           "There was an error working with the file:\n" + video,
                           "There was an error working with the file:\n" +
                               m_dirs.file("no/folder/x.bmp")}));
    EXPECT_EQ(m_prompter.prompts()[0].icon, MessageIcon::Information);
    EXPECT_EQ(TestDirs::readFile(picture), QByteArray("earlier picture"));
}

} // namespace
} // namespace skelvin
