#include "core/frames/VideoDecoder.h"

#include "TestVideo.h"
#include "support/TestDirs.h"

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
        test::TestVideoSpec spec;
        spec.codec = GetParam();
        spec.frames = frames;
        const QString path = m_dirs.file(QStringLiteral("clip.avi"));
        const QString error = test::writeTestVideo(path, spec);
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

INSTANTIATE_TEST_SUITE_P(Codecs, VideoDecoderTest,
                         ::testing::Values(TestCodec::Uncompressed, TestCodec::MotionJpeg,
                                           TestCodec::Ffv1, TestCodec::H264,
                                           TestCodec::H264BFrames),
                         [](const auto &info) { return std::string(codecLabel(info.param)); });

} // namespace
} // namespace skelvin
