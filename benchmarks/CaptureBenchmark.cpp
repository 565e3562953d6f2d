// Recording with the simulated camera as a USB camera delivers: a small timing program (not
// Google Benchmark: what counts is whether any frame is lost, and how the live picture keeps up).
//
//   build-bench/benchmarks/recording_benchmarks [--seconds S] [--only N] [--repeat R]
//   benchmarks/recording-under-load.sh build-bench/benchmarks/recording_benchmarks
//
// Four setups, each recorded R times (default 1) for S seconds (default 10) through the capture
// control with the capture screen's live picture (the real PreviewView, 960 x 540, on the
// offscreen platform) and the first contact searched while recording, as for a jump:
//   1. Motion JPEG camera, 1920 x 1080 at 30 fps, recorded with Motion JPEG (stream copy);
//   2. Motion JPEG camera, 1280 x 720 at 60 fps, stream copy;
//   3. RGB camera (rgb24), 1920 x 1080 at 30 fps, encoded to Motion JPEG;
//   4. Motion JPEG camera, 1280 x 720 at 30 fps, stream copy (the demo's camera).
// For each: frames recorded and dropped (and left out at the queue's bound), the queue's
// peak, the preview's pictures painted per second while previewing and while recording, the
// time from a frame's coming from the camera to its paint (median and 95th percentile), the
// CPU time of the program's threads and, apart, of the simulated camera's chip, the encoder's
// time per frame, the time from Stop to the closed file and on to the first contact found (what
// frame selection waits for before it shows the suggestion). The machine's load (busy share of
// all cores from /proc/stat, load average) is printed with each setup.

#include "core/capture/CaptureControl.h"
#include "core/simulation/SimulatedCamera.h"
#include "core/simulation/SimulatedDeviceCatalog.h"
#include "core/vision/recordings/RecordingContactSearch.h"
#include "support/TestGrids.h"
#include "ui/capture/PreviewView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace skelvin;

namespace {

struct Setup
{
    const char *title;
    QString pixelFormat;
    QSize size;
    double rate;
    int compressorIndex;
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of each live thread of this process, by thread id, with its name.
struct ThreadCpu
{
    QString name;
    double seconds = 0;
};

std::map<QString, ThreadCpu> threadCpu()
{
    std::map<QString, ThreadCpu> threads;
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const QString &tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < 0)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        // After the name: state is field 3 of stat(5); utime and stime are fields 14 and 15.
        if (fields.size() < 13)
            continue;
        ThreadCpu cpu;
        cpu.name = QString::fromLatin1(line.mid(open + 1, close - open - 1));
        cpu.seconds = (fields[11].toDouble() + fields[12].toDouble()) / tick;
        threads[tid] = cpu;
    }
    return threads;
}

// The machine's CPU counters, for its busy share over a span.
struct MachineCpu
{
    double busy = 0;
    double total = 0;
};

MachineCpu machineCpu()
{
    QFile stat(QStringLiteral("/proc/stat"));
    MachineCpu cpu;
    if (!stat.open(QIODevice::ReadOnly))
        return cpu;
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    for (int i = 1; i < fields.size(); ++i) {
        const double v = fields[i].toDouble();
        cpu.total += v;
        if (i != 4 && i != 5) // idle and iowait
            cpu.busy += v;
    }
    return cpu;
}

double loadAverage()
{
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

void runEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = std::size_t(
        std::clamp(p * double(values.size() - 1), 0.0, double(values.size() - 1)) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// Keeps the thread times seen last for every thread that lived during a span (a thread that
// ends, as the encoder does at Stop, keeps its last reading).
class ThreadWatch
{
public:
    void sample()
    {
        for (const auto &[tid, cpu] : threadCpu()) {
            if (!m_first.count(tid))
                m_first[tid] = m_seenBefore ? ThreadCpu{cpu.name, 0.0} : cpu;
            m_last[tid] = cpu;
        }
        m_seenBefore = true;
    }
    // Seconds of CPU per thread name over the span.
    std::map<QString, double> byName() const
    {
        std::map<QString, double> names;
        for (const auto &[tid, cpu] : m_last)
            names[cpu.name] += cpu.seconds - m_first.at(tid).seconds;
        return names;
    }

private:
    std::map<QString, ThreadCpu> m_first;
    std::map<QString, ThreadCpu> m_last;
    bool m_seenBefore = false;
};

void record(const Setup &setup, double seconds, const QString &dir)
{
    CaptureControl control(std::make_unique<SimulatedDeviceCatalog>());
    if (const CaptureFailure failed = control.ConnectDevice(0)) {
        std::printf("cannot connect: %s\n", qPrintable(failed->description));
        return;
    }
    control.setPixelFormat(setup.pixelFormat);
    control.setVideoSize(setup.size);
    control.setFrameRate(setup.rate);
    control.setVideoCompressor(setup.compressorIndex);

    // The capture screen's live picture.
    PreviewView view(control);
    view.resize(960, 540);
    view.show();
    control.setPreviewEnabled(true);
    int shown = 0;
    std::vector<double> captureToPaintMs;
    QObject::connect(&view, &PreviewView::pictureShown, [&](qint64 us) {
        ++shown;
        if (us >= 0)
            captureToPaintMs.push_back(double(us) / 1000.0);
    });
    runEvents(2000); // the camera settles in its format

    // Previewing only.
    shown = 0;
    captureToPaintMs.clear();
    QElapsedTimer previewWall;
    previewWall.start();
    runEvents(3000);
    const double previewRate = shown / (double(previewWall.elapsed()) / 1000.0);
    const double previewMedian = percentile(captureToPaintMs, 0.5);
    const double previewP95 = percentile(captureToPaintMs, 0.95);

    // Recording, stopped after `seconds`.
    const QString path = dir + QStringLiteral("/recording.avi");
    control.setCaptureFileName(path);
    control.setTimeLimitSeconds(0);
    control.searchContactInNextRecording(test::gridOfScene(SimulatedScene(), setup.size));
    shown = 0;
    captureToPaintMs.clear();
    ThreadWatch threads;
    threads.sample();
    const MachineCpu machineBefore = machineCpu();
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (const CaptureFailure failed = control.StartCapture()) {
        std::printf("cannot record: %s\n", qPrintable(failed->description));
        return;
    }
    double highestLoad = loadAverage();
    while (wall.elapsed() < qint64(seconds * 1000) && control.Capturing()) {
        runEvents(200);
        threads.sample();
        highestLoad = std::max(highestLoad, loadAverage());
    }
    const double recordingWall = double(wall.elapsed()) / 1000.0;
    const int shownRecording = shown;
    QElapsedTimer stop;
    stop.start();
    control.StopCapture();
    const double stopMs = double(stop.nsecsElapsed()) / 1e6;
    std::optional<ContactSearch> contact;
    if (const auto search = control.contactSearchOf(path))
        contact = search->wait();
    threads.sample();
    const double cpu = processCpuSeconds() - cpuBefore;
    const double wallAll = double(wall.elapsed()) / 1000.0;
    const MachineCpu machineAfter = machineCpu();
    const double machineBusy = 100.0 * (machineAfter.busy - machineBefore.busy) /
                               std::max(1.0, machineAfter.total - machineBefore.total);

    const std::map<QString, double> byName = threads.byName();
    const auto of = [&](const char *name) {
        const auto found = byName.find(QString::fromLatin1(name));
        return found == byName.end() ? 0.0 : found->second;
    };
    const double chip = of(SimulatedCamera::kChipThreadName);
    const CaptureControl::QueueFigures queue = control.lastQueueFigures();

    std::printf("%s: %s %d x %d at %g fps -> %s, %g s\n", setup.title,
                qPrintable(setup.pixelFormat), setup.size.width(), setup.size.height(), setup.rate,
                queue.copiedPackets ? "stream copy" : "Motion JPEG encoder", seconds);
    std::printf("  machine: %.0f %% of all cores busy during the recording, load average up to "
                "%.1f\n",
                machineBusy, highestLoad);
    std::printf("  frames %d, dropped %d (left out at the queue's bound: %d); queue peak %zu "
                "frames, %.1f MiB of %.0f MiB\n",
                control.FramesCaptured(), control.FramesDropped(), queue.leftOut, queue.peakFrames,
                double(queue.peakBytes) / 1048576.0, double(queue.boundBytes) / 1048576.0);
    std::printf("  preview painted: %.1f pictures/s previewing, %.1f recording; capture to "
                "paint %.1f ms median (%.1f ms p95) previewing, %.1f ms (%.1f ms p95) recording\n",
                previewRate, shownRecording / recordingWall, previewMedian, previewP95,
                percentile(captureToPaintMs, 0.5), percentile(captureToPaintMs, 0.95));
    std::printf("  CPU (%% of one core): program %.0f %% (capture %.0f, encoder %.0f, preview "
                "%.0f, contact search %.0f, interface %.0f); the camera's chip apart: %.0f %%\n",
                100.0 * (cpu - chip) / wallAll, 100.0 * of("capture") / wallAll,
                100.0 * of("encoder") / wallAll, 100.0 * of("preview") / wallAll,
                100.0 * of("contact") / wallAll, 100.0 * of("recording_bench") / wallAll,
                100.0 * chip / wallAll);
    std::printf("  encoder %.2f ms per frame; Stop to closed file %.0f ms\n",
                control.encodeMicrosecondsPerFrame() / 1000.0, stopMs);
    if (contact)
        std::printf("  Stop to the first contact found: %.0f ms (%s)\n", stopMs + contact->searchMs,
                    contact->find.found
                        ? qPrintable(QStringLiteral("frame %1").arg(contact->find.frame))
                        : qPrintable(contact->find.reason));
    else
        std::printf("  the contact search gave up: the file would be searched\n");
    std::fflush(stdout);
    QFile::remove(dir + QStringLiteral("/recording.avi"));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    double seconds = 10;
    int only = 0;
    int repeat = 1;
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
        at > 0 && at + 1 < args.size())
        seconds = args[at + 1].toDouble();
    if (const qsizetype at = args.indexOf(QStringLiteral("--only")); at > 0 && at + 1 < args.size())
        only = args[at + 1].toInt();
    if (const qsizetype at = args.indexOf(QStringLiteral("--repeat"));
        at > 0 && at + 1 < args.size())
        repeat = std::max(1, args[at + 1].toInt());
    std::printf("load average %.2f at the start, %ld cores\n", loadAverage(),
                sysconf(_SC_NPROCESSORS_ONLN));
    QTemporaryDir dir;
    const Setup setups[] = {
        {"1", QStringLiteral("mjpeg"), QSize(1920, 1080), 30.0, compressor::kMotionJpeg},
        {"2", QStringLiteral("mjpeg"), QSize(1280, 720), 60.0, compressor::kMotionJpeg},
        {"3", QStringLiteral("rgb24"), QSize(1920, 1080), 30.0, compressor::kMotionJpeg},
        {"4", QStringLiteral("mjpeg"), QSize(1280, 720), 30.0, compressor::kMotionJpeg},
    };
    for (int i = 0; i < 4; ++i) {
        for (int r = 0; r < repeat && (only == 0 || only == i + 1); ++r)
            record(setups[i], seconds, dir.path());
    }
    return 0;
}
