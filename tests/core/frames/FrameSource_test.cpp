#include "core/frames/FrameSource.h"

#include "TestVideo.h"
#include "support/TestDirs.h"

#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

namespace skelvin {
namespace {

using namespace test;

constexpr int kFrames = 36;
// Seven 64 x 48 pictures: three frames on each side of the position.
constexpr qint64 kSmallCacheBytes = 7 * 64 * 3 * 48;

class FrameSourceTest : public ::testing::TestWithParam<TestCodec>
{
protected:
    void SetUp() override
    {
        TestVideoRecipe recipe;
        recipe.codec = GetParam();
        recipe.frames = kFrames;
        m_path = m_dirs.file(QStringLiteral("clip.avi"));
        ASSERT_EQ(writeTestVideo(m_path, recipe), QString());
        VideoDecoder::OpenFailure failure;
        ASSERT_TRUE(m_source.open(m_path, &failure)) << failure.detail.toStdString();
        ASSERT_EQ(m_source.halfWindow(), 3);
    }

    // The stamp of the picture shown after the player moved, once it is ready.
    int shownStamp()
    {
        const bool ready = QTest::qWaitFor([&] { return !m_source.currentFrame().isNull(); }, 5000);
        EXPECT_LE(m_source.cachedFrameCount(), 2 * m_source.halfWindow() + 1);
        return ready ? readStamp(m_source.currentFrame()) : -1;
    }

    TestDirs m_dirs;
    QString m_path;
    FrameSource m_source{nullptr, kSmallCacheBytes};
};

TEST_P(FrameSourceTest, SteppingAndJumpingShowTheFrameOfThePosition)
{
    EXPECT_EQ(shownStamp(), 0);
    for (int n = 1; n < kFrames; ++n) {
        m_source.stepForward();
        ASSERT_EQ(m_source.position(), n);
        ASSERT_EQ(shownStamp(), n);
    }
    m_source.stepForward(); // at the end: stays
    EXPECT_EQ(m_source.position(), kFrames - 1);
    for (int n = kFrames - 2; n >= 0; --n) {
        m_source.stepBack();
        ASSERT_EQ(shownStamp(), n);
    }
    m_source.stepBack(); // at frame 0: stays
    EXPECT_EQ(m_source.position(), 0);

    std::mt19937 random(42);
    for (int i = 0; i < 25; ++i) {
        const int n = int(random() % kFrames);
        m_source.seek(n);
        ASSERT_EQ(shownStamp(), n);
        // Step before the frames ahead are ready: the wait goes to the newest position.
        m_source.stepForward();
        m_source.stepForward();
        ASSERT_EQ(shownStamp(), std::min(n + 2, kFrames - 1));
    }
    m_source.seek(kFrames + 10);
    EXPECT_EQ(m_source.position(), kFrames - 1);
}

TEST_P(FrameSourceTest, FramesAheadAreDecodedWhileTheOperatorLooksAndFramesPassedAreKept)
{
    m_source.seek(10);
    ASSERT_EQ(shownStamp(), 10);
    // Nobody asks for frames 11 to 13; they are decoded anyway.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_source.cachedFrame(13).isNull(); }, 5000));
    QSignalSpy ready(&m_source, &FrameSource::frameReady);
    m_source.stepForward();
    ASSERT_EQ(ready.size(), 1) << "a frame decoded ahead is shown at once";
    EXPECT_EQ(ready[0][0].toInt(), 11);
    EXPECT_EQ(readStamp(ready[0][1].value<QImage>()), 11);
    m_source.stepBack();
    EXPECT_EQ(ready.size(), 2) << "the frame just passed is kept";
    EXPECT_TRUE(m_source.cachedFrame(5).isNull()) << "frames outside the window are released";
}

TEST_P(FrameSourceTest, PlayingASpanShowsEveryFrameOfItInOrder)
{
    QSignalSpy positions(&m_source, &FrameSource::positionChanged);
    QSignalSpy finished(&m_source, &FrameSource::playFinished);
    m_source.play(20, 29);
    ASSERT_TRUE(finished.wait(5000));
    QList<int> shown;
    for (const auto &signal : positions)
        shown << signal[0].toInt();
    EXPECT_EQ(shown, QList<int>({20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
    EXPECT_FALSE(m_source.isPlaying());
    EXPECT_EQ(shownStamp(), 29);
}

INSTANTIATE_TEST_SUITE_P(Codecs, FrameSourceTest,
                         ::testing::Values(TestCodec::MotionJpeg, TestCodec::H264BFrames,
                                           TestCodec::Mpeg4BFrames, TestCodec::H264OpenGop,
                                           TestCodec::Mpeg4Packed),
                         [](const auto &info) { return std::string(codecLabel(info.param)); });

TEST(FrameSourceDamage, AFrameThatDoesNotDecodeIsReportedAndTheOthersStillShow)
{
    TestDirs dirs;
    TestVideoRecipe recipe;
    recipe.frames = 12;
    const QString path = dirs.file(QStringLiteral("clip.avi"));
    ASSERT_EQ(writeTestVideo(path, recipe), QString());
    // Wipe the picture bytes of frame 5.
    QByteArray bytes = TestDirs::readFile(path);
    const qsizetype chunk = movieChunkOffset(bytes, 5);
    const int size = qFromLittleEndian<qint32>(bytes.constData() + chunk + 4);
    bytes.replace(chunk + 8, size, QByteArray(size, '\0'));
    const QString damaged = dirs.writeFile("damaged.avi", bytes);

    FrameSource source;
    ASSERT_TRUE(source.open(damaged));
    QSignalSpy failed(&source, &FrameSource::frameFailed);
    source.seek(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed.size() == 1; }, 5000));
    EXPECT_EQ(failed[0][0].toInt(), 5);
    source.stepForward();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !source.currentFrame().isNull(); }, 5000));
    EXPECT_EQ(readStamp(source.currentFrame()), 6);
}

TEST(FrameSourceOpen, AFileThatDoesNotOpenLeavesTheSourceClosed)
{
    TestDirs dirs;
    FrameSource source;
    VideoDecoder::OpenFailure failure;
    EXPECT_FALSE(source.open(dirs.writeFile("empty.avi", QByteArray()), &failure));
    EXPECT_FALSE(source.isOpen());
    source.stepForward(); // nothing to step through, nothing happens
    source.play(0, 10);
    EXPECT_FALSE(source.isPlaying());
}

} // namespace
} // namespace skelvin
