// The frame selection screen as the operator meets it, driven offscreen at 1920 x 1080 with a
// 1920 x 1080 Motion JPEG recording of 90 frames:
// - an arrow key pressed every 100 ms (the key repeat) to the next frame painted on screen;
// - Stop Recording on the capture screen to the contact frame painted on this screen.

#include "app/Program.h"
#include "core/app/AppContext.h"
#include "core/common/Clock.h"
#include "core/common/Prompter.h"
#include "support/FakeCaptureDevice.h"
#include "ui/capture/PreviewForm.h"
#include "ui/frames/FramePlayer.h"
#include "ui/frames/frmSetStart.h"

#include "TestVideo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace skelvin;

class SilentOperator : public Prompter
{
public:
    Answer message(const MessageRequest &) override { return Answer::Ok; }
    std::optional<QString> input(const InputRequest &) override { return std::nullopt; }
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return std::nullopt; }
};

constexpr int kFrames = 90;
constexpr int kContactFrame = 45;

// The program started over a throwaway folder, its frame selection screen 1920 x 1080.
struct Bench
{
    Bench()
    {
        QDir(root.path()).mkpath(QStringLiteral("videos"));
        QDir(root.path()).mkpath(QStringLiteral("drive/qvio"));
        videos = root.path() + QStringLiteral("/videos");
        recording = root.path() + QStringLiteral("/recording.avi");
        test::TestVideoRecipe recipe;
        recipe.width = 1920;
        recipe.height = 1080;
        recipe.frames = kFrames;
        recipe.rateNum = 30;
        recipe.rateDen = 1;
        recipe.cameraDetail = true;
        if (const QString failure = test::writeTestVideo(recording, recipe); !failure.isEmpty())
            qFatal("%s", qPrintable(failure));

        CommandLineOptions options;
        options.paths =
            Paths(root.path() + QStringLiteral("/app"), root.path() + QStringLiteral("/drive"),
                  root.path() + QStringLiteral("/DE05.conf"));
        {
            QSettings s(options.paths.settingsFile(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Settings/logpath"), videos);
        }
        auto device = std::make_unique<test::FakeCaptureDevice>();
        camera = device.get();
        program = std::make_unique<Program>(options, clock, prompter, std::move(device));
        program->start();
        screen = static_cast<frmSetStart *>(program->screen(ScreenId::FrameSelection));
        capture = static_cast<PreviewForm *>(program->screen(ScreenId::Capture));
        screen->setWindowState(Qt::WindowNoState);
        screen->resize(1920, 1080);
        QObject::connect(screen->player().view(), &FrameView::painted,
                         [this](int frame) { lastPainted = frame; });
    }

    // Runs the event loop until the frame is painted; false after 5 s.
    bool waitPainted(int frame)
    {
        QElapsedTimer limit;
        limit.start();
        while (lastPainted != frame) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (limit.elapsed() > 5000)
                return false;
        }
        return true;
    }

    void idle(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
    }

    QTemporaryDir root;
    QString videos;
    QString recording;
    SystemClock clock;
    SilentOperator prompter;
    test::FakeCaptureDevice *camera = nullptr;
    std::unique_ptr<Program> program;
    frmSetStart *screen = nullptr;
    PreviewForm *capture = nullptr;
    int lastPainted = -1;
};

// Median and 95th percentile of the timed iterations, in milliseconds, as counters.
void reportSpread(benchmark::State &state, std::vector<double> ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
}

Bench &bench()
{
    static Bench b;
    return b;
}

void BM_ArrowKeyToFramePainted(benchmark::State &state)
{
    Bench &b = bench();
    AppContext &context = b.program->context();
    context.handOver.captureFilePath = b.recording;
    context.handOver.contactFrame = 1;
    context.handOver.captureFrameRate = 30;
    context.handOver.capturedFrameCount = kFrames;
    context.navigationTag = QStringLiteral("Capture");
    context.navigator().show(ScreenId::Capture);
    context.navigator().show(ScreenId::FrameSelection);
    if (!b.waitPainted(1)) {
        state.SkipWithError("the first frame was never painted");
        return;
    }
    QWidget *view = b.screen->player().view();
    std::vector<double> times;
    int direction = 1;
    for (auto _ : state) {
        b.idle(100); // the key repeat
        const int from = b.screen->player().position();
        if (from + direction < 0 || from + direction >= kFrames)
            direction = -direction;
        const Qt::Key key = direction > 0 ? Qt::Key_Right : Qt::Key_Left;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QElapsedTimer t;
        t.start();
        QApplication::sendEvent(view, &press);
        const bool painted = b.waitPainted(from + direction);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        QApplication::sendEvent(view, &release);
        if (!painted) {
            state.SkipWithError("a step was never painted");
            return;
        }
    }
    reportSpread(state, times);
    const QSize shown = b.screen->player().view()->pictureRect().size();
    state.SetLabel(QStringLiteral("picture shown at %1 x %2")
                       .arg(shown.width())
                       .arg(shown.height())
                       .toStdString());
    context.navigator().show(ScreenId::Main);
}
BENCHMARK(BM_ArrowKeyToFramePainted)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);

void BM_StopRecordingToContactFrameShown(benchmark::State &state)
{
    Bench &b = bench();
    AppContext &context = b.program->context();
    int attempt = 0;
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        context.navigationTag = QStringLiteral("Setup");
        context.navigator().show(ScreenId::Capture);
        b.idle(20);
        b.capture->setSkierName(QStringLiteral("Skier %1").arg(++attempt));
        b.camera->framesCaptured = 0;
        b.capture->cmdStartCapture_Click();
        // What the camera recorded.
        QFile::remove(b.camera->captureFile);
        QFile::copy(b.recording, b.camera->captureFile);
        b.camera->framesCaptured = kContactFrame;
        b.capture->cmdStartTimer_Click();
        b.camera->framesCaptured = kFrames;
        b.lastPainted = -1;
        state.ResumeTiming();

        QElapsedTimer t;
        t.start();
        b.capture->cmdEndCapture_Click();
        if (!b.waitPainted(kContactFrame)) {
            state.SkipWithError("the contact frame was never painted");
            return;
        }
        times.push_back(double(t.nsecsElapsed()) / 1e6);

        state.PauseTiming();
        b.screen->releaseVideo();
        QFile::remove(b.camera->captureFile);
        state.ResumeTiming();
    }
    reportSpread(state, times);
}
BENCHMARK(BM_StopRecordingToContactFrameShown)->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
