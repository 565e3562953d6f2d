#include "core/frames/FrameMessages.h"
#include "core/frames/RiffAviReader.h"
#include "core/frames/mmInfo.h"

#include "RiffBytes.h"
#include "TestVideo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <limits>

namespace skelvin {
namespace {

using namespace test;
using namespace frame_messages;

// A 64 x 48 Motion JPEG file of five frames in the OpenDML form of files over 1 GiB: three
// frames in the first RIFF part, two in an "AVIX" part, each part with its "ix00" index
// chunk listed by the stream's "indx". The main header counts the first part only.
QByteArray openDmlFile(bool lastFrameIsKey)
{
    const auto standardIndex = [](int frames, bool lastIsKey) {
        QByteArray entries;
        for (int i = 0; i < frames; ++i)
            entries += le32(8) + le32(i == frames - 1 && !lastIsKey ? 0x80000008u : 8u);
        return chunk("ix00", le16(2) + QByteArray(1, '\0') + QByteArray(1, '\x01') +
                                 le32(std::uint32_t(frames)) + QByteArray("00dc") + le64(0) +
                                 le32(0) + entries);
    };
    const auto headers = [](std::uint64_t ix1, std::uint64_t ix2) {
        const QByteArray avih = le32(33367) + le32(1000) + le32(0) + le32(0x10 | 0x100 | 0x10000) +
                                le32(3) + le32(0) + le32(1) + le32(4096) + le32(64) + le32(48) +
                                QByteArray(16, '\0');
        const QByteArray strh = QByteArray("vidsMJPG") + le32(0) + le32(0) + le32(0) + le32(1001) +
                                le32(30000) + le32(0) + le32(5) + le32(4096) + le32(0xffffffffu) +
                                le32(0) + le16(0) + le16(0) + le16(64) + le16(48);
        const QByteArray strf = le32(40) + le32(64) + le32(48) + le16(1) + le16(24) +
                                QByteArray("MJPG") + le32(64 * 48 * 3) + QByteArray(16, '\0');
        const QByteArray indx = le16(4) + QByteArray(1, '\0') + QByteArray(1, '\0') + le32(2) +
                                QByteArray("00dc") + QByteArray(12, '\0') + le64(ix1) + le32(40) +
                                le32(3) + le64(ix2) + le32(32) + le32(2);
        return list("hdrl", chunk("avih", avih) +
                                list("strl", chunk("strh", strh) + chunk("strf", strf) +
                                                 chunk("indx", indx)) +
                                list("odml", chunk("dmlh", le32(5))));
    };
    const QByteArray frame = chunk("00dc", QByteArray(8, 'x'));
    const QByteArray idx1 = chunk("idx1", QByteArray("00dc") + le32(0x10) + le32(4) + le32(8));

    // The index chunks' offsets depend only on sizes that the offsets do not change.
    const qint64 headerBytes = 12 + headers(0, 0).size();
    const qint64 ix1 = headerBytes + 12 + 3 * frame.size();
    const QByteArray first = headers(std::uint64_t(ix1), 0) +
                             list("movi", frame + frame + frame + standardIndex(3, true)) + idx1;
    const qint64 ix2 = 12 + first.size() + 12 + 12 + 2 * frame.size();
    return riff("AVI ", headers(std::uint64_t(ix1), std::uint64_t(ix2)) +
                            list("movi", frame + frame + frame + standardIndex(3, true)) + idx1) +
           riff("AVIX", list("movi", frame + frame + standardIndex(2, lastFrameIsKey)));
}

Result<AviFileInfo> readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return RiffAviReader(buffer).read();
}

class AviInfoTest : public ::testing::Test
{
protected:
    QString video(TestCodec codec, int frames = 12)
    {
        TestVideoRecipe recipe;
        recipe.codec = codec;
        recipe.frames = frames;
        const QString path = m_dirs.file(QString::fromLatin1(codecLabel(codec)) + ".avi");
        const QString error = writeTestVideo(path, recipe);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return path;
    }

    TestDirs m_dirs;
    ScriptedPrompter m_prompter;
};

TEST_F(AviInfoTest, BrowseListsTheFactsOfARecordedFile)
{
    const QString path = video(TestCodec::MotionJpeg);
    ASSERT_TRUE(mmInfo::IsAviFile(path, m_prompter));
    AviFileInfo info;
    ASSERT_TRUE(mmInfo::ReadAviFileInfo(path, &info, m_prompter));
    EXPECT_EQ(info.scale, 1001u);
    EXPECT_EQ(info.rate, 30000u);
    EXPECT_EQ(info.streams, 1u);
    EXPECT_EQ(info.editCount, 0u);
    EXPECT_EQ(
        mmInfo::fileInfoLines(path, info),
        QStringList({"Filename: " + path, "File Type: AVI File", "Height: 48", "Width: 64",
                     "Length: 12 frames", "Rate: 30fps", "=== dwCaps ===", "Compressed: True",
                     "All Key Frames: True", "Can Read: True", "Can Write: True",
                     "=== dwFlags ===", "Contains Copyright Info: False", "Capture File: False",
                     "Has Index: True", "Must Use Index: False", "Interleaved: True"}));
    // The one-fact routines read the same file again each time.
    EXPECT_EQ(mmInfo::AviFrameRate(path, m_prompter), 30);
    EXPECT_EQ(mmInfo::AviLength(path, m_prompter), 12);
    EXPECT_EQ(mmInfo::AviWidth(path, m_prompter), 64);
    EXPECT_EQ(mmInfo::AviHeight(path, m_prompter), 48);
    EXPECT_EQ(mmInfo::AviFileType(path, m_prompter), QStringLiteral("AVI File"));
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
}

TEST_F(AviInfoTest, KeyFramesAndCompressionFollowTheCodec)
{
    const QString h264 = video(TestCodec::H264BFrames, 24);
    EXPECT_FALSE(mmInfo::AviAllKeyFrames(h264, m_prompter));
    EXPECT_TRUE(mmInfo::AviIsCompressed(h264, m_prompter));
    const QString raw = video(TestCodec::Uncompressed);
    EXPECT_TRUE(mmInfo::AviAllKeyFrames(raw, m_prompter));
    EXPECT_FALSE(mmInfo::AviIsCompressed(raw, m_prompter));
    EXPECT_EQ(mmInfo::AviHeight(raw, m_prompter), 48);
}

TEST_F(AviInfoTest, FrameRateRoundsHalvesToEven)
{
    AviFileInfo info;
    info.scale = 1001;
    info.rate = 30000;
    EXPECT_EQ(mmInfo::frameRateOf(info), 30);
    info.scale = 2;
    info.rate = 61; // 30.5
    EXPECT_EQ(mmInfo::frameRateOf(info), 30);
    info.rate = 63; // 31.5
    EXPECT_EQ(mmInfo::frameRateOf(info), 32);
    info.scale = 0;
    EXPECT_EQ(mmInfo::frameRateOf(info), 0);
    // A damaged header's rate beyond any whole number of frames a second is held at the top.
    info.scale = 1;
    info.rate = 0xffffffffu;
    EXPECT_EQ(mmInfo::frameRateOf(info), std::numeric_limits<std::int32_t>::max());
}

TEST_F(AviInfoTest, OpenDmlFileCountsEveryPartAndReadsItsIndexChunks)
{
    const Result<AviFileInfo> info = readBytes(openDmlFile(true));
    ASSERT_TRUE(info) << info.error().toStdString();
    EXPECT_EQ(info->length, 5u); // not the 3 frames of the first part
    EXPECT_TRUE(info->caps & kAviCapsAllKeyFrames);
    EXPECT_TRUE(info->flags & kAviFlagWasCaptureFile);
    EXPECT_TRUE(info->flags & kAviFlagIsInterleaved);

    // A delta frame in the AVIX part's index: the file is not all key frames, although the
    // first part's idx1 says every frame there is.
    const Result<AviFileInfo> delta = readBytes(openDmlFile(false));
    ASSERT_TRUE(delta);
    EXPECT_FALSE(delta->caps & kAviCapsAllKeyFrames);
}

TEST_F(AviInfoTest, FilesThatAreNotAviAreRefusedWithTheirMessages)
{
    // A RIFF file of another form.
    const QString wave =
        m_dirs.writeFile("sound.wav", riff("WAVE", chunk("fmt ", QByteArray(16, '\0'))));
    EXPECT_FALSE(mmInfo::IsAviFile(wave, m_prompter));
    // Too short to hold the form type, and empty: simply not AVI.
    EXPECT_FALSE(mmInfo::IsAviFile(m_dirs.writeFile("short.avi", "RIFF\x04"), m_prompter));
    const QString empty = m_dirs.writeFile("empty.avi", QByteArray());
    EXPECT_FALSE(mmInfo::IsAviFile(empty, m_prompter));
    EXPECT_TRUE(m_prompter.prompts().isEmpty());

    m_prompter.answer(Answer::Ok);
    EXPECT_EQ(mmInfo::AviLength(empty, m_prompter), 0);
    const QString missing = m_dirs.file("gone.avi");
    m_prompter.answer(Answer::Ok);
    EXPECT_FALSE(mmInfo::IsAviFile(missing, m_prompter));
    m_prompter.answer(Answer::Ok);
    EXPECT_EQ(mmInfo::AviFrameRate(missing, m_prompter), 0);

    ASSERT_EQ(m_prompter.prompts().size(), 3);
    EXPECT_EQ(m_prompter.prompts()[0].text, "Unable to read AVI file info from:\n" + empty);
    EXPECT_EQ(m_prompter.prompts()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(m_prompter.prompts()[0].title, kApplicationTitle);
    EXPECT_EQ(m_prompter.prompts()[1].text, "File does not exist:\n" + missing);
    EXPECT_EQ(m_prompter.prompts()[1].icon, MessageIcon::Critical);
    EXPECT_EQ(m_prompter.prompts()[2].text, "Unable to open file:\n" + missing);
}

TEST_F(AviInfoTest, TruncatedFilesReadWhatIsThereOrFailWithAMessage)
{
    const QString path = video(TestCodec::MotionJpeg, 30);
    QByteArray bytes = TestDirs::readFile(path);

    // Cut inside the movie data: the headers still read, but there is no index any more.
    const Result<AviFileInfo> cut = readBytes(bytes.left(bytes.size() * 2 / 3));
    ASSERT_TRUE(cut) << cut.error().toStdString();
    EXPECT_EQ(cut->width, 64u);
    EXPECT_FALSE(cut->hasIndex);
    EXPECT_FALSE(cut->caps & kAviCapsAllKeyFrames);

    // Cut inside the main header: the facts do not read.
    const QString headOnly = m_dirs.writeFile("head.avi", bytes.left(40));
    EXPECT_TRUE(mmInfo::IsAviFile(headOnly, m_prompter));
    m_prompter.answer(Answer::Ok);
    EXPECT_FALSE(mmInfo::AviCanRead(headOnly, m_prompter));
    EXPECT_EQ(m_prompter.texts(), QStringList("Unable to read AVI file info from:\n" + headOnly));
}

} // namespace
} // namespace skelvin
