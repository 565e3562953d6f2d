#include "support/ProgramHarness.h"

#include "core/capture/devices/AudioSource.h"
#include "core/capture/devices/VideoSource.h"
#include "core/common/FileFaults.h"
#include "core/frames/VideoDecoder.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// The simulated camera, which the test can pull out and plug in again as a USB camera is.
class PullableCatalog : public DeviceCatalog
{
public:
    QStringList videoDeviceNames() const override
    {
        return m_present ? m_simulated.videoDeviceNames() : QStringList();
    }
    QStringList audioDeviceNames() const override { return {}; }
    std::unique_ptr<VideoSource> openVideo(int index, QString &error) override
    {
        if (!m_present) {
            error = QStringLiteral("the camera is not plugged in");
            return nullptr;
        }
        return m_simulated.openVideo(index, error);
    }
    std::unique_ptr<AudioSource> openAudio(int, QString &error) override
    {
        error = QStringLiteral("no sound here");
        return nullptr;
    }

    void pullOut()
    {
        const QString name = m_simulated.videoDeviceNames().value(0);
        m_present = false;
        emit videoDeviceChanged(1, 0, name);
    }
    void plugIn()
    {
        m_present = true;
        emit videoDeviceChanged(0, 0, m_simulated.videoDeviceNames().value(0));
    }

private:
    SimulatedDeviceCatalog m_simulated;
    bool m_present = true;
};

class RecordingFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto catalog = std::make_unique<PullableCatalog>();
        camera = catalog.get();
        h.useCatalog(std::move(catalog));
        h.store(QStringLiteral("captureTime"), QStringLiteral("1"));
        h.store(QStringLiteral("VideoResolution"), QStringLiteral("0"));
        h.store(QStringLiteral("VideoSave"), QStringLiteral("Save"));
        ASSERT_TRUE(h.startWithVideoDirectory());
        h.prompter.clear();
        frames = static_cast<frmSetStart *>(h.program().screen(ScreenId::FrameSelection));
    }
    void TearDown() override { FileFaults::clear(); }

    QString video(int attempt) const
    {
        return h.videos() + QStringLiteral("/Skier Ajump%1.avi").arg(attempt);
    }

    // From the main screen to the capture screen, the skier's name typed.
    void openCapture()
    {
        h.context().navigator().show(ScreenId::Main);
        QTest::mouseClick(h.control<QPushButton>(ScreenId::Main, "cmdGoCapture"), Qt::LeftButton);
        // The screen checks the attempt number at its first paint of the run.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return h.program().screen(ScreenId::Capture)->isVisible() &&
                   (visited || h.context().navigationTag.isEmpty());
        }));
        visited = true;
        h.control<QLineEdit>(ScreenId::Capture, "txtSkierName")->setText(QStringLiteral("Skier A"));
    }
    void startRecording()
    {
        openCapture();
        QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"),
                          Qt::LeftButton);
    }

    // Waits for frame selection to show `path` and gives its frame count.
    int selectionOpens(const QString &path)
    {
        if (!QTest::qWaitFor(
                [&] { return frames->isVisible() && frames->player().fileName() == path; }, 20000))
            return -1;
        return frames->player().frameCount();
    }

    // The recording the frame selection shows is whole: every frame decodes.
    static void expectWhole(const QString &path, int frameCount)
    {
        VideoDecoder::OpenFailure failure;
        auto decoder = VideoDecoder::open(path, &failure);
        ASSERT_TRUE(decoder) << qPrintable(failure.detail);
        EXPECT_EQ(decoder->frameCount(), frameCount);
        EXPECT_TRUE(decoder->decodeFrame(frameCount - 1)) << "the last frame does not decode";
    }

    bool toldOf(const QString &text) const
    {
        const QStringList told = h.prompter.texts();
        return std::any_of(told.begin(), told.end(),
                           [&](const QString &t) { return t.contains(text); });
    }

    ProgramHarness h;
    PullableCatalog *camera = nullptr;
    bool visited = false;
    frmSetStart *frames = nullptr;
};

} // namespace

// A recording meets a full disk, a read-only medium and a video folder taken away: the operator
// is told the file and the reason, the earlier recording stays byte for byte, the frames written
// before a full disk make a readable video, and once the fault is gone the next recording works.
TEST_F(RecordingFaults, FullReadOnlyAndMissingVideoFolderAreToldAndRecovered)
{
    startRecording();
    const int firstFrames = selectionOpens(video(1));
    ASSERT_GT(firstFrames, 10);
    const QByteArray first = TestDirs::readFile(video(1));
    ASSERT_TRUE(h.prompter.prompts().isEmpty()) << qPrintable(h.prompter.texts().join('\n'));

    // A disk that fills a few frames into the recording.
    FileFaults::set(h.videos(), FileFaultKind::DiskFull, 60 * 1024);
    startRecording();
    const int cut = selectionOpens(video(2));
    EXPECT_TRUE(toldOf(QStringLiteral("The recording to %1 ended: No space left on device. The "
                                      "frames written before are kept.")
                           .arg(video(2))))
        << qPrintable(h.prompter.texts().join('\n'));
    ASSERT_GT(cut, 0);
    EXPECT_LT(cut, firstFrames);
    expectWhole(video(2), cut);
    FileFaults::clear();

    // A read-only medium and a folder that is gone refuse the recording at its start.
    for (const bool readOnly : {true, false}) {
        h.prompter.clear();
        const QString away = h.videos() + QStringLiteral(".away");
        openCapture();
        if (readOnly)
            FileFaults::set(h.videos(), FileFaultKind::ReadOnly);
        else
            ASSERT_TRUE(QDir().rename(h.videos(), away));
        QTest::mouseClick(h.control<QPushButton>(ScreenId::Capture, "cmdStartCapture"),
                          Qt::LeftButton);
        EXPECT_TRUE(
            toldOf(QStringLiteral("Cannot record to %1: %2")
                       .arg(video(3), readOnly ? QStringLiteral("Read-only file system")
                                               : QStringLiteral("No such file or directory"))))
            << qPrintable(h.prompter.texts().join('\n'));
        EXPECT_TRUE(h.program().screen(ScreenId::Capture)->isVisible());
        EXPECT_FALSE(h.context().captureDevice().Capturing());
        FileFaults::clear();
        if (!readOnly)
            ASSERT_TRUE(QDir().rename(away, h.videos()));
    }

    // Fault gone: the next recording goes through, the first one is untouched.
    h.prompter.clear();
    startRecording();
    const int next = selectionOpens(video(3));
    EXPECT_GT(next, 10);
    expectWhole(video(3), next);
    EXPECT_EQ(TestDirs::readFile(video(1)), first);
    EXPECT_TRUE(h.prompter.prompts().isEmpty()) << qPrintable(h.prompter.texts().join('\n'));
}

// The camera pulled out in the middle of a recording: the operator is told, the frames recorded
// until then are a whole video that frame selection opens, and with the camera plugged in again
// the next recording works.
TEST_F(RecordingFaults, ACameraPulledOutMidRecordingKeepsItsFramesAndComesBack)
{
    startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(h.context().captureDevice().FramesCaptured() > 5, 10000);
    camera->pullOut();
    const int kept = selectionOpens(video(1));
    ASSERT_GT(kept, 0);
    expectWhole(video(1), kept);
    EXPECT_TRUE(toldOf(
        QStringLiteral("the recording to %1 ended with the frames written before").arg(video(1))))
        << qPrintable(h.prompter.texts().join('\n'));
    EXPECT_FALSE(h.context().captureDevice().Connected());

    h.prompter.clear();
    camera->plugIn();
    ASSERT_EQ(h.context().captureDevice().ConnectDevice(0), std::nullopt);
    startRecording();
    const int next = selectionOpens(video(2));
    EXPECT_GT(next, 10);
    expectWhole(video(2), next);
}

// The camera pulled out early in a long recording: the capture screen hears it at once, its
// countdown stops, and frame selection opens with the frames written.
TEST_F(RecordingFaults, ACameraPulledOutEndsTheCountdownAtOnce)
{
    h.context().settings().write(QStringLiteral("captureTime"), QStringLiteral("20"));
    startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(h.context().captureDevice().FramesCaptured() > 5, 10000);
    camera->pullOut();
    QTRY_VERIFY(frames->isVisible() && frames->player().fileName() == video(1));
    EXPECT_FALSE(h.program().screen(ScreenId::Capture)->findChild<QTimer *>("Timer40")->isActive());
    EXPECT_EQ(h.context().handOver.capturedFrameCount, frames->player().frameCount());
    EXPECT_TRUE(toldOf(
        QStringLiteral("the recording to %1 ended with the frames written before").arg(video(1))));
}
