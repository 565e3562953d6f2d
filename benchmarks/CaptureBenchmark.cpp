// Recording speed with the simulated camera: a small timing program (not Google Benchmark: one
// run lasts a minute and what counts is whether any frame is dropped).
//
//   build-bench/benchmarks/recording_benchmarks [--seconds S]
//
// For 1920 x 1080 at 30 and 1280 x 720 at 60 frames per second, Motion JPEG, with the preview
// fetched as the capture screen fetches it (pictures up to 960 x 540): frames recorded and
// dropped, preview pictures per second, the process's CPU use (of one core), the encoder's
// time per frame; then the time from Stop to a closed file after a 5 s recording.

#include "core/capture/CaptureControl.h"
#include "core/simulation/SimulatedDeviceCatalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <sys/resource.h>

using namespace skelvin;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Setup
{
    QSize size;
    double rate;
};

void record(const Setup &setup, double seconds, const QString &dir)
{
    CaptureControl control(std::make_unique<SimulatedDeviceCatalog>());
    if (const CaptureFailure failed = control.ConnectDevice(0)) {
        std::printf("cannot connect: %s\n", qPrintable(failed->description));
        return;
    }
    control.setVideoSize(setup.size);
    control.setFrameRate(setup.rate);
    control.setPreviewSize(QSize(960, 540));
    control.setPreviewEnabled(true);
    int previews = 0;
    QSize previewSize;
    QObject::connect(&control, &CaptureDevice::previewPictureReady, [&] {
        const QImage picture = control.takePreviewPicture();
        if (!picture.isNull()) {
            ++previews;
            previewSize = picture.size();
        }
    });
    runEvents(1000); // the camera settles in its format

    // A long recording, ended by its time limit.
    control.setCaptureFileName(dir + QStringLiteral("/long.avi"));
    control.setTimeLimitSeconds(seconds);
    previews = 0;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (const CaptureFailure failed = control.StartCapture()) {
        std::printf("cannot record: %s\n", qPrintable(failed->description));
        return;
    }
    while (control.Capturing())
        runEvents(100);
    const double wallSeconds = double(wall.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("%d x %d at %g fps, %g s: %d frames, %d dropped, preview %d x %d at %.1f "
                "pictures/s, CPU %.0f %% of one core, encoder %.2f ms per frame\n",
                setup.size.width(), setup.size.height(), setup.rate, seconds,
                control.FramesCaptured(), control.FramesDropped(), previewSize.width(),
                previewSize.height(), previews / wallSeconds, 100.0 * cpu / wallSeconds,
                control.encodeMicrosecondsPerFrame() / 1000.0);

    // Stop after 5 s: how long until the file is complete and closed.
    control.setTimeLimitSeconds(0);
    control.setCaptureFileName(dir + QStringLiteral("/stop.avi"));
    control.StartCapture();
    runEvents(5000);
    QElapsedTimer stop;
    stop.start();
    control.StopCapture();
    std::printf("  stop after 5 s (%d frames): file closed in %.1f ms\n", control.FramesCaptured(),
                double(stop.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    double seconds = 60;
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    if (at > 0 && at + 1 < args.size())
        seconds = args[at + 1].toDouble();
    QTemporaryDir dir;
    for (const Setup &setup : {Setup{QSize(1920, 1080), 30.0}, Setup{QSize(1280, 720), 60.0}})
        record(setup, seconds, dir.path());
    return 0;
}
