// A tournament day: jumps worked through the screens one after another with the simulated
// camera (record, frame selection, measure, record the result, Capture Next Jump with the
// picture and the video kept), reporting every 50 jumps the time per jump and the process's
// resident memory. Memory must stay flat after the first 50 jumps and the time per jump must
// not grow.
//
//   build-bench/benchmarks/soak_benchmark [--jumps N] [--seconds S] [--keep DIR]

#include "support/JumpLoop.h"
#include "support/ProgramHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

using namespace skelvin;
using namespace skelvin::test;

namespace {

// Resident memory of this process in MiB, from /proc/self/status.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int jumps = 500;
    int seconds = 1;
    QString keep;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--jumps"))
            jumps = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--seconds"))
            seconds = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
    }
    const int block = 50;
    QTemporaryDir temporary;
    const QString root = keep.isEmpty() ? temporary.path() : keep;

    ProgramHarness h(root);
    h.useSimulatedCamera();
    JumpLoop loop(h);
    if (const QString failed = loop.prepare(seconds); !failed.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failed));
        return 2;
    }
    if (!h.startWithVideoDirectory()) {
        std::fprintf(stderr, "the program did not start\n");
        return 2;
    }
    h.prompter.clear();
    std::printf("soak: %d jumps, %d s recordings at 640 x 480, 30 fps, Motion JPEG, picture and "
                "video kept; folders under %s\n",
                jumps, seconds, qPrintable(root));
    std::printf("%8s %14s %14s %12s %10s\n", "jumps", "ms per jump", "CPU ms/jump", "VmRSS MiB",
                "prompts");

    std::vector<double> blockMs;
    std::vector<double> rss;
    QElapsedTimer wall;
    wall.start();
    std::clock_t cpu = std::clock();
    for (int n = 1; n <= jumps; ++n) {
        const Result<QString> line = loop.jump(QStringLiteral("Skier A"));
        if (!line) {
            std::fprintf(stderr, "jump %d: %s\n", n, qPrintable(line.error()));
            return 1;
        }
        if (n % block == 0 || n == jumps) {
            const int done = n % block == 0 ? block : n % block;
            const double ms = double(wall.nsecsElapsed()) / 1e6 / done;
            const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC / done;
            blockMs.push_back(ms);
            rss.push_back(residentMiB());
            std::printf("%8d %14.0f %14.0f %12.1f %10lld\n", n, ms, cpuMs, rss.back(),
                        static_cast<long long>(h.prompter.prompts().size()));
            std::fflush(stdout);
            wall.restart();
            cpu = std::clock();
        }
    }
    if (rss.size() >= 2) {
        double peak = rss[0];
        for (double r : rss)
            peak = std::max(peak, r);
        std::printf("memory after the first %d jumps: %.1f MiB, at the end %.1f MiB, highest "
                    "%.1f MiB (growth %.1f MiB; allowed 20)\n",
                    block, rss[0], rss.back(), peak, peak - rss[0]);
        std::printf("time per jump: first %d jumps %.0f ms, last %d jumps %.0f ms\n", block,
                    blockMs.front(), block, blockMs.back());
    }
    return 0;
}
