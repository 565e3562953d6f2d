#include "core/frames/VideoDecoder.h"

#include "core/frames/RiffAviReader.h"

#include "TestVideo.h"
#include "support/TestDirs.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

namespace skelvin {
namespace {

using test::TestCodec;

class VideoDecoderTest : public ::testing::TestWithParam<TestCodec>
{
protected:
    QString makeVideo(int frames = 40)
    {
        test::TestVideoRecipe recipe;
        recipe.codec = GetParam();
        recipe.frames = frames;
        const QString path = m_dirs.file(QStringLiteral("clip.avi"));
        const QString error = test::writeTestVideo(path, recipe);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return path;
    }

    test::TestDirs m_dirs;
};

int stampOf(VideoDecoder &decoder, int frame)
{
    const Result<QImage> image = decoder.decodeFrame(frame);
    if (!image) {
        ADD_FAILURE() << "frame " << frame << ": " << image.error().toStdString();
        return -1;
    }
    return test::readStamp(image.value());
}

TEST_P(VideoDecoderTest, EveryFrameIsTheFrameOfItsNumberForwardBackwardAndAfterJumps)
{
    const QString path = makeVideo();
    VideoDecoder::OpenFailure failure;
    auto decoder = VideoDecoder::open(path, &failure);
    ASSERT_TRUE(decoder) << failure.detail.toStdString();
    ASSERT_EQ(decoder->frameCount(), 40);
    EXPECT_EQ(decoder->frameSize(), QSize(64, 48));
    EXPECT_NEAR(decoder->frameRate(), 30000.0 / 1001.0, 1e-9);

    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(stampOf(*decoder, n), n) << "forward";
    for (int n = 39; n >= 0; --n)
        EXPECT_EQ(stampOf(*decoder, n), n) << "backward";
    std::mt19937 random(6);
    for (int i = 0; i < 60; ++i) {
        const int n = int(random() % 40);
        EXPECT_EQ(stampOf(*decoder, n), n) << "jump";
    }
}

TEST_P(VideoDecoderTest, AFileWithoutItsIndexOrCutShortStillGivesExactFrames)
{
    const QString path = makeVideo(30);
    const QByteArray bytes = test::TestDirs::readFile(path);
    const qsizetype index = bytes.lastIndexOf("idx1");
    ASSERT_GT(index, 0);
    const QString noIndex = m_dirs.writeFile("noindex.avi", bytes.left(index));
    // Cut in the middle of frame 20.
    const QString cut =
        m_dirs.writeFile("cut.avi", bytes.left(test::movieChunkOffset(bytes, 20) + 12));

    for (const QString &damaged : {noIndex, cut}) {
        VideoDecoder::OpenFailure failure;
        auto decoder = VideoDecoder::open(damaged, &failure);
        ASSERT_TRUE(decoder) << failure.detail.toStdString();
        const int count = decoder->frameCount();
        EXPECT_EQ(count, damaged == noIndex ? 30 : 20);
        for (const int n : {count - 2, 3, count - 1, 0, count / 2})
            EXPECT_EQ(stampOf(*decoder, n), n);
        const Result<QImage> past = decoder->decodeFrame(count);
        EXPECT_FALSE(past);
        EXPECT_EQ(stampOf(*decoder, 1), 1) << "usable after a failure";
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoDecoderTest,
                         ::testing::Values(TestCodec::Uncompressed, TestCodec::MotionJpeg,
                                           TestCodec::Ffv1, TestCodec::H264,
                                           TestCodec::H264BFrames),
                         [](const auto &info) { return std::string(codecLabel(info.param)); });

// Files other recorders write: B-frames in open groups of pictures (a key frame followed by
// pictures shown before it) and DivX-style packed B-frames (a placeholder chunk at the end).
class OtherRecordersTest : public ::testing::TestWithParam<TestCodec>
{
protected:
    static constexpr int kFrames = 40;

    void SetUp() override
    {
        test::TestVideoRecipe recipe;
        recipe.codec = GetParam();
        recipe.frames = kFrames;
        // With two B-frames between reference pictures, the two frames before each key
        // frame are B-frames stored after it.
        recipe.gopFrames = 12;
        m_path = m_dirs.file(QStringLiteral("other.avi"));
        ASSERT_EQ(test::writeTestVideo(m_path, recipe), QString());
        QString error;
        m_reference = test::referenceFrames(m_path, &error, &m_storedIn, &m_keyPackets);
        ASSERT_EQ(m_reference.size(), kFrames) << error.toStdString();
    }

    std::unique_ptr<VideoDecoder> openDecoder()
    {
        VideoDecoder::OpenFailure failure;
        auto decoder = VideoDecoder::open(m_path, &failure);
        EXPECT_TRUE(decoder) << failure.detail.toStdString();
        return decoder;
    }

    // The frame equals FFmpeg's own decode of that frame time, to the byte.
    void expectFrame(VideoDecoder &decoder, int n, const char *how)
    {
        const Result<QImage> image = decoder.decodeFrame(n);
        ASSERT_TRUE(image) << how << " frame " << n << ": " << image.error().toStdString();
        EXPECT_EQ(test::readStamp(image.value()), n) << how;
        EXPECT_TRUE(image.value() == m_reference[n]) << how << " frame " << n;
    }

    test::TestDirs m_dirs;
    QString m_path;
    QList<QImage> m_reference;
    QList<int> m_storedIn;
    QList<int> m_keyPackets;
};

TEST_P(OtherRecordersTest, TheFileIsWhatItClaimsToBe)
{
    // FFmpeg shows the recorded pictures in order, one per frame time the file counts, and
    // the groups of pictures are what the test is about.
    for (int n = 0; n < kFrames; ++n)
        ASSERT_EQ(test::readStamp(m_reference[n]), n);
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Result<AviFileInfo> info = RiffAviReader(file).read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info.value().length, std::uint32_t(kFrames));
    EXPECT_FALSE(info.value().caps & kAviCapsAllKeyFrames);
    // A key frame after the first is shown after pictures stored behind it in the file.
    int openKeys = 0;
    for (const int key : m_keyPackets)
        openKeys += key > 0 && m_storedIn.indexOf(key) > key;
    EXPECT_GE(openKeys, 2);
    const QByteArray bytes = test::TestDirs::readFile(m_path);
    if (GetParam() == TestCodec::Mpeg4Packed) {
        EXPECT_TRUE(bytes.contains("DivX503b2001p"));
        // The last chunk is the placeholder where the last stored picture is shown.
        const qsizetype last = test::movieChunkOffset(bytes, kFrames - 1);
        ASSERT_GT(last, 0);
        EXPECT_LT(qFromLittleEndian<qint32>(bytes.constData() + last + 4), 20);
    }
}

TEST_P(OtherRecordersTest, EveryFrameForwardBackwardAndAfterJumpsIsFFmpegsFrameOfThatTime)
{
    auto decoder = openDecoder();
    ASSERT_TRUE(decoder);
    ASSERT_EQ(decoder->frameCount(), kFrames);
    // Backward first: a new decoder knows nothing yet of the key frames' leading pictures.
    for (int n = kFrames - 1; n >= 0; --n)
        expectFrame(*decoder, n, "backward");
    decoder = openDecoder();
    for (int n = 0; n < kFrames; ++n)
        expectFrame(*decoder, n, "forward");
    decoder = openDecoder();
    std::mt19937 random(11);
    for (int i = 0; i < 80; ++i)
        expectFrame(*decoder, int(random() % kFrames), "jump");
    // The last frames, where a decode from the last key frame runs out of pictures.
    decoder = openDecoder();
    for (const int n : {kFrames - 1, kFrames - 2, kFrames - 1, 0, kFrames - 1})
        expectFrame(*decoder, n, "end");
}

INSTANTIATE_TEST_SUITE_P(Codecs, OtherRecordersTest,
                         ::testing::Values(TestCodec::Mpeg4BFrames, TestCodec::H264OpenGop,
                                           TestCodec::Mpeg4Packed),
                         [](const auto &info) { return std::string(codecLabel(info.param)); });

TEST(VideoDecoderDroppedFrames, ADroppedFrameShowsThePictureBeforeIt)
{
    test::TestDirs dirs;
    for (const TestCodec codec : {TestCodec::MotionJpeg, TestCodec::Uncompressed}) {
        test::TestVideoRecipe recipe;
        recipe.codec = codec;
        recipe.frames = 12;
        recipe.droppedFrames = {4, 5, 9};
        const QString path = dirs.file(QStringLiteral("dropped.avi"));
        ASSERT_EQ(test::writeTestVideo(path, recipe), QString());
        auto decoder = VideoDecoder::open(path, nullptr);
        ASSERT_TRUE(decoder);
        ASSERT_EQ(decoder->frameCount(), 12);
        const int expected[12] = {0, 1, 2, 3, 3, 3, 6, 7, 8, 8, 10, 11};
        for (const int n : {5, 4, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 6})
            EXPECT_EQ(stampOf(*decoder, n), expected[n]) << codecLabel(codec) << " frame " << n;
    }
}

// A DivX-style writer that cannot flush its encoder ends the file with placeholders for the
// frames it never coded: they count as frames, and show the last picture.
TEST(VideoDecoderDroppedFrames, PlaceholdersAtTheEndShowTheLastPicture)
{
    test::TestDirs dirs;
    test::TestVideoRecipe recipe;
    recipe.codec = TestCodec::Mpeg4Packed;
    recipe.frames = 40;
    recipe.gopFrames = 12;
    recipe.placeholdersAtEnd = 2;
    const QString path = dirs.file(QStringLiteral("packed.avi"));
    ASSERT_EQ(test::writeTestVideo(path, recipe), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Result<AviFileInfo> info = RiffAviReader(file).read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->length, 42u);

    const int expected[] = {39, 41, 40, 38, 39, 0, 41};
    for (const bool fresh : {true, false}) {
        auto decoder = VideoDecoder::open(path, nullptr);
        ASSERT_TRUE(decoder);
        ASSERT_EQ(decoder->frameCount(), 42);
        for (const int n : expected) {
            if (fresh)
                decoder = VideoDecoder::open(path, nullptr);
            EXPECT_EQ(stampOf(*decoder, n), std::min(n, 39)) << "frame " << n;
        }
    }
}

TEST(VideoDecoderOpen, FilesWithoutAVideoOrADecoderAreToldApart)
{
    test::TestDirs dirs;
    VideoDecoder::OpenFailure failure;
    EXPECT_FALSE(VideoDecoder::open(dirs.writeFile("empty.avi", QByteArray()), &failure));
    EXPECT_EQ(failure.kind, VideoDecoder::OpenError::File);
    EXPECT_FALSE(VideoDecoder::open(dirs.writeFile("junk.avi", QByteArray(5000, 'x')), &failure));
    EXPECT_EQ(failure.kind, VideoDecoder::OpenError::File);

    test::TestVideoRecipe recipe;
    recipe.frames = 3;
    const QString path = dirs.file(QStringLiteral("clip.avi"));
    ASSERT_EQ(test::writeTestVideo(path, recipe), QString());
    QByteArray bytes = test::TestDirs::readFile(path);
    bytes.replace("MJPG", "QQQQ");
    EXPECT_FALSE(VideoDecoder::open(dirs.writeFile("unknown.avi", bytes), &failure));
    EXPECT_EQ(failure.kind, VideoDecoder::OpenError::NoDecoder);
}

} // namespace
} // namespace skelvin
