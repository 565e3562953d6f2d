#include "core/frames/FfmpegLog.h"

#include "core/common/Clock.h"
#include "core/frames/VideoDecoder.h"
#include "core/logs/DebugLog.h"

#include "TestVideo.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDirs.h"

#include <QTest>
#include <QtEndian>

extern "C" {
#include <libavutil/log.h>
}

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <thread>

namespace skelvin {
namespace {

// Whatever the process writes to standard error while it lives goes to a file instead.
class StandardErrorCapture
{
public:
    explicit StandardErrorCapture(const QString &path) : m_path(path), m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        const int file = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, STDERR_FILENO);
        ::close(file);
    }
    ~StandardErrorCapture() { restore(); }

    QByteArray restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
        return test::TestDirs::readFile(m_path);
    }

private:
    QString m_path;
    int m_saved;
};

TEST(FfmpegLog, FfmpegsMessagesGoToTheDebugLogAndNeverToStandardError)
{
    test::TestDirs dirs;
    FixedClock clock(QDateTime(QDate(2026, 7, 4), QTime(14, 5, 9)));
    test::ScriptedPrompter prompter;
    DebugLog log(dirs.paths(), clock, prompter);
    log.DebugLogStart();

    // Frame 5 of a Motion JPEG video wiped: its decoder complains.
    test::TestVideoRecipe recipe;
    recipe.frames = 8;
    const QString path = dirs.file(QStringLiteral("clip.avi"));
    ASSERT_EQ(test::writeTestVideo(path, recipe), QString());
    QByteArray bytes = test::TestDirs::readFile(path);
    const qsizetype chunk = test::movieChunkOffset(bytes, 5);
    const int size = qFromLittleEndian<qint32>(bytes.constData() + chunk + 4);
    bytes.replace(chunk + 8, size, QByteArray(size, '\0'));
    const QString damaged = dirs.writeFile("damaged.avi", bytes);

    StandardErrorCapture capture(dirs.file(QStringLiteral("stderr.txt")));
    FfmpegLog::install();
    av_log(nullptr, AV_LOG_ERROR, "said while nobody listens\n");
    {
        FfmpegLog route(log);
        auto decoder = VideoDecoder::open(damaged, nullptr);
        ASSERT_TRUE(decoder);
        EXPECT_FALSE(decoder->decodeFrame(5));
        // From a decoding thread, in two parts, as FFmpeg writes some lines.
        std::thread([] {
            av_log(nullptr, AV_LOG_ERROR, "a picture ");
            av_log(nullptr, AV_LOG_ERROR, "%s\n", "from another thread");
        }).join();
        av_log(nullptr, AV_LOG_INFO, "chatter that is not worth a line\n");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return test::TestDirs::readFile(log.path()).contains("another thread"); }, 5000));
        QCoreApplication::processEvents();
    }
    av_log(nullptr, AV_LOG_ERROR, "said after the route closed\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(capture.restore(), QByteArray());

    const QString text = QString::fromUtf8(test::TestDirs::readFile(log.path()));
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("Debug Log Session Started")));
    EXPECT_TRUE(lines.filter(QStringLiteral("FFmpeg [mjpeg]: ")).size() >= 1) << text.toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("14:05:09      FFmpeg: a picture from another thread"));
    EXPECT_FALSE(text.contains(QStringLiteral("nobody listens")));
    EXPECT_FALSE(text.contains(QStringLiteral("chatter")));
    EXPECT_FALSE(text.contains(QStringLiteral("after the route closed")));
}

TEST(FfmpegLog, RepeatsAreCountedAndAFloodIsCutShort)
{
    QStringList lines;
    {
        FfmpegLog route([&](const QString &line) { lines << line; });
        for (int i = 0; i < 3; ++i)
            FfmpegLog::message(AV_LOG_ERROR, QStringLiteral("h264"), QStringLiteral("bad slice"));
        FfmpegLog::message(AV_LOG_WARNING, QString(), QStringLiteral("other"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 3; }, 5000));
        EXPECT_EQ(lines,
                  QStringList({QStringLiteral("FFmpeg [h264]: bad slice"),
                               QStringLiteral("FFmpeg: the message before came 2 more times"),
                               QStringLiteral("FFmpeg: other")}));

        for (int i = 0; i < 2 * FfmpegLog::kMaxLines; ++i)
            FfmpegLog::message(AV_LOG_ERROR, QString(), QString::number(i));
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() > FfmpegLog::kMaxLines; }, 5000));
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(lines.size(), FfmpegLog::kMaxLines + 1);
    EXPECT_EQ(lines.last(), QStringLiteral("FFmpeg: further messages left out"));
}

} // namespace
} // namespace skelvin
