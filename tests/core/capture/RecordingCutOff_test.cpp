#include "core/capture/recording/AviWriter.h"

#include "SyntheticCamera.h"
#include "core/common/Prompter.h"
#include "core/frames/FramePicture.h"
#include "core/frames/TestVideo.h"
#include "core/frames/VideoDecoder.h"
#include "core/frames/mmInfo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QImage>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

constexpr QSize kSize(64, 48);

// A recording cut off by a crash or a power cut: the bytes on disk at the moment the program
// died, with no index and a header that tells what it was last told.
class RecordingCutOff : public ::testing::Test
{
protected:
    // Writes `frames` Motion JPEG frames, the header kept current after `headerAt` of them (0:
    // never), and returns the file as it is on disk then, the writer still open.
    QString cutOff(const char *name, int frames, int headerAt)
    {
        ffmpeg::CodecParameters video(avcodec_parameters_alloc());
        video->codec_type = AVMEDIA_TYPE_VIDEO;
        video->codec_id = AV_CODEC_ID_MJPEG;
        video->format = AV_PIX_FMT_YUVJ422P;
        video->width = kSize.width();
        video->height = kSize.height();
        AviStreams streams;
        streams.video = video.get();
        streams.frameRate = AVRational{25, 1};
        streams.soundSampleRate = 44100;
        streams.soundChannels = 2;
        streams.soundBitsPerSample = 16;
        auto writer = AviWriter::create(m_dirs.file(QStringLiteral("live.avi")), streams);
        EXPECT_TRUE(writer);
        if (!writer)
            return {};
        for (int n = 0; n < frames; ++n) {
            EXPECT_EQ(writer.value()->writeSound(QByteArray(44100 / 25 * 4, '\0')), std::nullopt);
            const QByteArray jpeg = test::syntheticJpeg(kSize, n);
            ffmpeg::Packet packet(av_packet_alloc());
            av_new_packet(packet.get(), int(jpeg.size()));
            std::copy_n(jpeg.constData(), jpeg.size(), packet->data);
            packet->flags |= AV_PKT_FLAG_KEY;
            EXPECT_EQ(writer.value()->writeVideo(*packet, n), std::nullopt);
            if (n + 1 == headerAt)
                writer.value()->keepHeaderCurrent();
        }
        m_bytes = test::TestDirs::readFile(m_dirs.file(QStringLiteral("live.avi")));
        return m_dirs.writeFile(QString::fromLatin1(name), m_bytes);
    }

    // Every frame the file holds, stepped through as frame selection and the tool do.
    void expectFrames(const QString &path, int frames)
    {
        VideoDecoder::OpenFailure failure;
        auto decoder = VideoDecoder::open(path, &failure);
        ASSERT_TRUE(decoder) << failure.detail.toStdString();
        EXPECT_EQ(decoder->frameCount(), frames);
        for (const int n : {frames - 1, 0, frames / 2, frames - 1}) {
            const Result<QImage> image = decoder->decodeFrame(n);
            ASSERT_TRUE(image) << image.error().toStdString();
            EXPECT_EQ(test::readStamp(image.value()), n);
        }
        AviFileInfo info;
        ASSERT_TRUE(mmInfo::ReadAviFileInfo(path, &info, m_prompter));
        EXPECT_TRUE(mmInfo::fileInfoLines(path, info)
                        .contains(QStringLiteral("Length: %1 frames").arg(frames)));
        const QString bitmap = m_dirs.file(QStringLiteral("last.bmp"));
        EXPECT_TRUE(writeFramePicture(path, frames - 1, bitmap, m_prompter));
        EXPECT_EQ(test::readStamp(QImage(bitmap)), frames - 1);
        EXPECT_TRUE(m_prompter.prompts().isEmpty());
    }

    test::TestDirs m_dirs;
    test::ScriptedPrompter m_prompter;
    QByteArray m_bytes;
};

TEST_F(RecordingCutOff, BeforeTheHeadersFirstUpdateEveryFrameIsThere)
{
    expectFrames(cutOff("early.avi", 22, 0), 22);
}

TEST_F(RecordingCutOff, FramesAfterTheHeadersLastUpdateAreThere)
{
    expectFrames(cutOff("late.avi", 56, 50), 56);
}

TEST_F(RecordingCutOff, AFrameCutInHalfIsLeftOut)
{
    cutOff("whole.avi", 30, 25);
    const qsizetype half = test::movieChunkOffset(m_bytes, 27) + 100;
    expectFrames(m_dirs.writeFile(QStringLiteral("half.avi"), m_bytes.left(half)), 27);
}

} // namespace
} // namespace skelvin
