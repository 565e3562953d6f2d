#include "core/capture/recording/AviRecorder.h"

#include "SyntheticCamera.h"
#include "core/common/Prompter.h"
#include "core/frames/TestVideo.h"
#include "core/frames/VideoDecoder.h"
#include "core/frames/mmInfo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <numeric>
#include <sys/wait.h>
#include <unistd.h>

namespace skelvin {
namespace {

constexpr QSize kSize(64, 48);

// FFmpeg's encoder statistics only clutter the output.
const int kQuietFfmpeg = (av_log_set_level(AV_LOG_ERROR), 0);

// A frame as the synthetic camera makes it: picture n, stamped at n / rate seconds.
CapturedFrame frameNumber(int n, double rate, bool jpeg = false)
{
    CapturedFrame frame;
    frame.timestampUs = 5'000'000 + std::llround(1e6 * n / rate);
    if (jpeg) {
        const QByteArray bytes = test::syntheticJpeg(kSize, n);
        frame.packet.reset(av_packet_alloc());
        av_new_packet(frame.packet.get(), int(bytes.size()));
        std::copy_n(bytes.constData(), bytes.size(), frame.packet->data);
        frame.packetCodec = QStringLiteral("mjpeg");
        return frame;
    }
    const QImage image = test::stampedPicture(kSize.width(), kSize.height(), n);
    frame.picture.reset(av_frame_alloc());
    frame.picture->format = AV_PIX_FMT_RGB24;
    frame.picture->width = kSize.width();
    frame.picture->height = kSize.height();
    av_frame_get_buffer(frame.picture.get(), 0);
    for (int y = 0; y < kSize.height(); ++y)
        std::copy_n(image.constScanLine(y), kSize.width() * 3,
                    frame.picture->data[0] + y * frame.picture->linesize[0]);
    return frame;
}

// How far ahead of the encoder the tests hand frames over: a second of them, as a camera does
// when the encoder is a second behind.
constexpr int64_t kFramesAhead = 25;

// Hands frames over no faster than the encoder takes them, so none is dropped for lack of room.
void feed(AviRecorder &recorder, int n, double rate, bool jpeg = false)
{
    QTRY_VERIFY_WITH_TIMEOUT(recorder.slotsWritten() + kFramesAhead > n || recorder.ended(), 20000);
    CapturedFrame frame = frameNumber(n, rate, jpeg);
    recorder.addFrame(frame);
}

RecordingPlan planFor(const QString &path, int compressor, double rate = 25.0)
{
    RecordingPlan plan;
    plan.path = path;
    plan.framesPerSecond = rate;
    plan.compressor = compressor;
    plan.format = VideoFormat{QStringLiteral("rgb24"), kSize, rate};
    return plan;
}

std::vector<int> stampsOf(const QString &path)
{
    VideoDecoder::OpenFailure failure;
    auto decoder = VideoDecoder::open(path, &failure);
    if (!decoder) {
        ADD_FAILURE() << failure.detail.toStdString();
        return {};
    }
    std::vector<int> stamps;
    for (int n = 0; n < decoder->frameCount(); ++n) {
        const Result<QImage> image = decoder->decodeFrame(n);
        stamps.push_back(image ? test::readStamp(image.value()) : -2);
    }
    return stamps;
}

int aviLength(const QString &path)
{
    test::ScriptedPrompter prompter;
    return mmInfo::AviLength(path, prompter);
}

// The sizes of the video chunks of the first movie list, in file order.
QList<quint32> videoChunkSizes(const QByteArray &avi)
{
    QList<quint32> sizes;
    qsizetype pos = avi.indexOf("movi") + 4;
    while (pos > 3 && pos + 8 <= avi.size() && avi.mid(pos + 2, 2) == "dc") {
        const quint32 size = qFromLittleEndian<quint32>(avi.constData() + pos + 4);
        sizes << size;
        pos += 8 + size + (size & 1);
    }
    return sizes;
}

std::vector<int> countUp(int from, int count)
{
    std::vector<int> v(static_cast<std::size_t>(count));
    std::iota(v.begin(), v.end(), from);
    return v;
}

class AviRecorderCompressors : public ::testing::TestWithParam<int>
{
};

TEST_P(AviRecorderCompressors, EveryFrameLandsInItsSlotAndTheFrameReaderStepsThroughThem)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("jump.avi"));
    RecordingPlan plan = planFor(path, GetParam());
    plan.frameLimit = 30;
    auto recorder = AviRecorder::start(plan);
    ASSERT_TRUE(recorder) << recorder.error().toStdString();
    for (int n = 0; n < 40 && !recorder.value()->ended(); ++n)
        feed(*recorder.value(), n, 25.0);
    EXPECT_TRUE(recorder.value()->ended()) << "the frame limit ends the recording";
    EXPECT_EQ(recorder.value()->stop(), std::nullopt);
    EXPECT_EQ(recorder.value()->framesCaptured(), 30);
    EXPECT_EQ(recorder.value()->framesDropped(), 0);
    EXPECT_EQ(recorder.value()->captureTimeMs(), 1200);

    EXPECT_EQ(stampsOf(path), countUp(0, 30));
    EXPECT_EQ(aviLength(path), 30);
    test::ScriptedPrompter prompter;
    EXPECT_EQ(mmInfo::AviFrameRate(path, prompter), 25);
    EXPECT_EQ(mmInfo::AviWidth(path, prompter), 64);
}

INSTANTIATE_TEST_SUITE_P(, AviRecorderCompressors,
                         ::testing::Values(compressor::kUncompressed, compressor::kMotionJpeg,
                                           compressor::kFfv1, compressor::kH264),
                         [](const auto &info) {
                             return std::string(info.param == compressor::kUncompressed ? "None"
                                                : info.param == compressor::kMotionJpeg
                                                    ? "MotionJpeg"
                                                : info.param == compressor::kFfv1 ? "Ffv1"
                                                                                  : "H264");
                         });

TEST(AviRecorder, SkippedTimesAreEmptyChunksThatKeepEveryLaterFrameAtItsTime)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("gaps.avi"));
    auto recorder = AviRecorder::start(planFor(path, compressor::kMotionJpeg));
    ASSERT_TRUE(recorder) << recorder.error().toStdString();
    // The camera's time stamps skip frames 3, 4 and 7; the last two frames never come.
    for (int n : {0, 1, 2, 5, 6, 8, 9})
        feed(*recorder.value(), n, 25.0);
    ASSERT_EQ(recorder.value()->stop(), std::nullopt);
    EXPECT_EQ(recorder.value()->framesCaptured(), 10);
    EXPECT_EQ(recorder.value()->framesDropped(), 3);
    // An empty chunk shows the picture before it, as the frame player counts them.
    EXPECT_EQ(stampsOf(path), (std::vector<int>{0, 1, 2, 2, 2, 5, 6, 6, 8, 9}));
    EXPECT_EQ(aviLength(path), 10);
    const QByteArray bytes = test::TestDirs::readFile(path);
    EXPECT_EQ(videoChunkSizes(bytes).count(0), 3) << "three empty chunks";
}

TEST(AviRecorder, TheCamerasOwnMotionJpegIsWrittenByteForByte)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("copy.avi"));
    RecordingPlan plan = planFor(path, compressor::kMotionJpeg);
    plan.format.pixelFormat = QStringLiteral("mjpeg");
    plan.copyPackets = true;
    auto recorder = AviRecorder::start(plan);
    ASSERT_TRUE(recorder) << recorder.error().toStdString();
    for (int n = 0; n < 8; ++n)
        feed(*recorder.value(), n, 25.0, true);
    ASSERT_EQ(recorder.value()->stop(), std::nullopt);

    const QByteArray bytes = test::TestDirs::readFile(path);
    for (int n = 0; n < 8; ++n) {
        const QByteArray jpeg = test::syntheticJpeg(kSize, n);
        const qsizetype chunk = test::movieChunkOffset(bytes, n);
        ASSERT_GE(chunk, 0) << n;
        EXPECT_EQ(bytes.mid(chunk + 8, jpeg.size()), jpeg) << "frame " << n;
    }
    EXPECT_EQ(stampsOf(path), countUp(0, 8));
}

// The compressor dialog's quality reaches the Motion JPEG encoder: a lower quality, smaller
// pictures.
TEST(AviRecorder, MotionJpegQualityGovernsThePictureSize)
{
    test::TestDirs dirs;
    qint64 bytes[2] = {0, 0};
    const int qualities[2] = {100, 30};
    for (int i = 0; i < 2; ++i) {
        const QString path = dirs.file(QStringLiteral("q%1.avi").arg(qualities[i]));
        RecordingPlan plan = planFor(path, compressor::kMotionJpeg);
        plan.compression.quality = qualities[i];
        auto recorder = AviRecorder::start(plan);
        ASSERT_TRUE(recorder) << recorder.error().toStdString();
        for (int n = 0; n < 5; ++n)
            feed(*recorder.value(), n, 25.0);
        ASSERT_EQ(recorder.value()->stop(), std::nullopt);
        const QList<quint32> sizes = videoChunkSizes(test::TestDirs::readFile(path));
        ASSERT_EQ(sizes.size(), 5);
        for (quint32 size : sizes)
            bytes[i] += size;
        EXPECT_EQ(stampsOf(path), countUp(0, 5));
    }
    EXPECT_LT(bytes[1] * 4, bytes[0] * 3) << bytes[1] << " bytes at 30, " << bytes[0] << " at 100";
}

// The queue holds what the encoder has not taken yet up to its bound in memory; past it frames
// are left out with their times kept, and the first one left out is told.
TEST(AviRecorder, FramesPastTheQueuesBoundAreLeftOutWithTheirTimesKeptAndTold)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("bound.avi"));
    RecordingPlan plan = planFor(path, compressor::kMotionJpeg);
    // Room for four frames.
    plan.queueBytes = qint64(4 * FrameQueue::bytesOf(frameNumber(0, 25.0)));
    std::atomic<int> told{0};
    auto recorder = AviRecorder::start(plan, {}, [&] { ++told; });
    ASSERT_TRUE(recorder) << recorder.error().toStdString();
    EXPECT_EQ(recorder.value()->queueBytesLimit(), std::size_t(plan.queueBytes));
    // Bursts of twenty at once, far faster than any encoder, each after the queue emptied;
    // the last frame alone.
    constexpr int kFrames = 201;
    for (int n = 0; n < kFrames; ++n) {
        if (n % 20 == 0)
            QTRY_COMPARE(recorder.value()->framesWaiting(), 0u);
        CapturedFrame frame = frameNumber(n, 25.0);
        recorder.value()->addFrame(frame);
    }
    const int leftOut = recorder.value()->framesLeftOutForQueue();
    ASSERT_EQ(recorder.value()->stop(), std::nullopt);
    EXPECT_GT(leftOut, 0);
    EXPECT_EQ(told.load(), 1) << "told once, not for every frame";
    EXPECT_LE(recorder.value()->queuePeakFrames(), 4u);
    EXPECT_EQ(recorder.value()->framesCaptured(), kFrames);
    EXPECT_EQ(recorder.value()->framesDropped(), leftOut);
    // Every frame that was written is at its own time; a left-out one shows the one before.
    const std::vector<int> stamps = stampsOf(path);
    EXPECT_EQ(aviLength(path), kFrames);
    ASSERT_EQ(int(stamps.size()), kFrames) << leftOut;
    EXPECT_EQ(stamps[0], 0);
    int written = 0;
    for (int n = 0; n < kFrames; ++n) {
        ASSERT_TRUE(stamps[n] == n || (n > 0 && stamps[n] == stamps[n - 1])) << n;
        written += stamps[n] == n;
    }
    EXPECT_EQ(written, kFrames - leftOut);
}

TEST(AviRecorder, AFullDiskEndsTheRecordingAndLeavesEveryWholeFrameReadable)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("full.avi"));
    RecordingPlan plan = planFor(path, compressor::kUncompressed);
    // The header and about twelve frames of 9 KiB fit.
    plan.byteLimit = 120 * 1024;
    auto recorder = AviRecorder::start(plan);
    ASSERT_TRUE(recorder) << recorder.error().toStdString();
    for (int n = 0; n < 40 && !recorder.value()->ended(); ++n)
        feed(*recorder.value(), n, 25.0);
    QTRY_VERIFY(recorder.value()->ended());
    const Failure failed = recorder.value()->stop();
    ASSERT_TRUE(failed);
    EXPECT_EQ(*failed, QStringLiteral("No space left on device"));

    const int frames = recorder.value()->framesCaptured();
    EXPECT_GT(frames, 5);
    EXPECT_LT(frames, 15);
    EXPECT_LE(QFile(path).size(), plan.byteLimit);
    EXPECT_EQ(stampsOf(path), countUp(0, frames));
    EXPECT_EQ(aviLength(path), frames) << "the header tells the frames that are there";
}

TEST(AviRecorder, ARecordingKilledMidwayLeavesAFileTheFrameReaderOpens)
{
    test::TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("killed.avi"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The recording process: records until it is killed.
        auto recorder = AviRecorder::start(planFor(path, compressor::kMotionJpeg));
        if (!recorder)
            _exit(3);
        for (int n = 0;; ++n) {
            while (recorder.value()->slotsWritten() + kFramesAhead <= n)
                usleep(1000);
            CapturedFrame frame = frameNumber(n, 25.0);
            recorder.value()->addFrame(frame);
        }
    }
    // Well into the recording, past the header's first update.
    QTRY_VERIFY_WITH_TIMEOUT(aviLength(path) >= 25, 30000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::vector<int> stamps = stampsOf(path);
    ASSERT_GT(stamps.size(), 20u);
    EXPECT_EQ(stamps, countUp(0, int(stamps.size())));
    const int length = aviLength(path);
    EXPECT_GT(length, 0) << "the header was kept current";
    EXPECT_LE(length, int(stamps.size()));
}

TEST(AviRecorder, AFileThatCannotBeCreatedIsRefusedAtTheStart)
{
    test::TestDirs dirs;
    auto recorder = AviRecorder::start(
        planFor(dirs.file(QStringLiteral("no/such/folder/x.avi")), compressor::kMotionJpeg));
    ASSERT_FALSE(recorder);
    EXPECT_EQ(recorder.error(), QStringLiteral("No such file or directory"));
}

} // namespace
} // namespace skelvin
