#include "support/JumpLoop.h"
#include "support/ProgramHarness.h"

#include "core/common/TextFile.h"
#include "core/frames/VideoDecoder.h"
#include "core/grid_setup/GridSetupFile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <iterator>
#include <random>

using namespace skelvin;
using namespace skelvin::test;

namespace {

const char *const kRootVariable = "SKELVIN_CRASH_ROOT";
const char *const kStepVariable = "SKELVIN_CRASH_STEP";
const QString kAcknowledged = QStringLiteral("ACK ");
const QString kStep = QStringLiteral("STEP ");
const QString kHalted = QStringLiteral("HALTED");

// The steps a kill may follow, as the jump loop reports them.
const char *const kKillSteps[] = {"capture", "recording 1", "recording 10", "recording 20",
                                  "frames",  "recorded",    "saved grid"};

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

// Not a test of its own: the program under the crash-safety test. It works jumps through the
// screens in the folders it is given, saving grid 1 again before each, and prints each step of
// a jump as it reaches it ("STEP " + jump number + step) and every results line once Record has
// returned ("ACK " + line), until it is killed. Once past the step it is told, it finishes what
// it was doing but starts no further recording: it waits there to be killed ("HALTED"), so a
// kill that comes late never finds a recording that has not written its first frame yet.
TEST(CrashSafetyDriver, DISABLED_JumpLoop)
{
    const QString root = qEnvironmentVariable(kRootVariable);
    if (root.isEmpty())
        GTEST_SKIP() << "run by the crash-safety test only";
    const QString killStep = qEnvironmentVariable(kStepVariable);
    ProgramHarness h(root);
    h.useSimulatedCamera();
    JumpLoop loop(h);
    const QString failed = loop.prepare();
    ASSERT_TRUE(failed.isEmpty()) << qPrintable(failed);
    ASSERT_TRUE(h.startWithVideoDirectory());
    int n = 0;
    bool halting = false;
    const auto step = [&](const QString &name) {
        if (halting && name == QLatin1String("capture")) {
            say(kHalted);
            for (;;)
                QTest::qWait(1000);
        }
        const QString reached = QStringLiteral("%1 %2").arg(n).arg(name);
        say(kStep + reached);
        halting = halting || reached == killStep;
    };
    loop.onStep = step;
    for (;; ++n) {
        ASSERT_EQ(loop.saveGrid(), std::nullopt);
        step(QStringLiteral("saved grid"));
        const Result<QString> line = loop.jump(QStringLiteral("Skier A"));
        ASSERT_TRUE(line) << qPrintable(line.error());
        say(kAcknowledged + *line);
    }
}

// The program is killed (SIGKILL) at random moments while jumps are worked in a loop. After
// every kill each results line it acknowledged is in the results file, whole, and no file is
// half written: the results file and the session log end with a whole line, the grid and check
// buoy files and every side file read, and every recording left behind opens.
TEST(CrashSafety, KilledAtRandomMomentsLosesNothingAcknowledged)
{
    QTemporaryDir root;
    const QString videos = root.path() + QStringLiteral("/videos");
    const QString results = videos + QStringLiteral("/JumpMeasurementResults120826.txt");
    const QString grid = root.path() + QStringLiteral("/setups/simulated.ipt");

    std::mt19937 random(20261208);
    QStringList acknowledged;
    const int kills = 4;
    for (int run = 0; run < kills; ++run) {
        // The kill follows a step of the first or the second jump, chosen at random, and
        // comes at a random moment after it: at once, or while the driver goes on to where it
        // halts. How fast the machine is changes only where in that span the kill lands.
        const QString killStep = QStringLiteral("%1 %2").arg(run % 2).arg(
            QLatin1String(kKillSteps[random() % std::size(kKillSteps)]));
        QProcess driver;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kRootVariable), root.path());
        env.insert(QString::fromLatin1(kStepVariable), killStep);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        driver.setProcessEnvironment(env);
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--gtest_filter=CrashSafetyDriver.DISABLED_JumpLoop"),
                      QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(driver.waitForStarted());

        bool stepReached = false;
        bool halted = false;
        const auto readLines = [&] {
            while (driver.canReadLine()) {
                const QString line = QString::fromUtf8(driver.readLine()).chopped(1);
                if (line.startsWith(kAcknowledged)) {
                    acknowledged << line.mid(kAcknowledged.size());
                } else if (line == kStep + killStep) {
                    stepReached = true;
                } else if (line == kHalted) {
                    halted = true;
                }
            }
        };
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                readLines();
                return driver.state() != QProcess::Running || stepReached;
            },
            120000))
            << "the driver did not reach " << qPrintable(killStep);
        ASSERT_EQ(driver.state(), QProcess::Running) << "the driver ended by itself";
        const int delayMs = int(random() % 2500);
        QElapsedTimer waited;
        waited.start();
        while (!halted && waited.elapsed() < delayMs && driver.state() == QProcess::Running) {
            QTest::qWait(10);
            readLines();
        }
        ::kill(pid_t(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(10000));
        readLines(); // lines printed before the kill
        EXPECT_EQ(driver.exitStatus(), QProcess::CrashExit);

        // Every acknowledged line is in the file, as a whole line; the file ends with one.
        const QByteArray bytes = TestDirs::readFile(results);
        if (acknowledged.isEmpty() && bytes.isEmpty())
            continue; // killed before the first jump
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(bytes.endsWith("\r\n")) << "the results file ends in half a line";
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        for (const QString &line : acknowledged)
            EXPECT_TRUE(lines.contains(line))
                << "lost after kill " << run << ": " << qPrintable(line);

        // No file half written.
        EXPECT_TRUE(TestDirs::readFile(videos + QStringLiteral("/JumpMeasurementLog120826.txt"))
                        .endsWith("\r\n"));
        const Result<GridSetupFileData> gridRead = readGridSetupFile(grid);
        EXPECT_TRUE(gridRead) << qPrintable(gridRead.error());
        const Result<CheckBuoyFileData> buoyRead = readCheckBuoyFile(checkBuoyFilePath(grid));
        EXPECT_TRUE(buoyRead) << qPrintable(buoyRead.error());
        QDirIterator files(videos, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            if (path.endsWith(QStringLiteral(".info"))) {
                const QByteArray side = TestDirs::readFile(path);
                EXPECT_TRUE(side.endsWith("\r\n") && side.count('\n') == 1)
                    << "side file " << qPrintable(path) << ": " << side.constData();
            } else if (path.endsWith(QStringLiteral(".avi"))) {
                VideoDecoder::OpenFailure failure;
                EXPECT_TRUE(VideoDecoder::open(path, &failure))
                    << qPrintable(path) << ": " << qPrintable(failure.detail);
            }
        }
    }
    EXPECT_GE(acknowledged.size(), kills / 2) << "too few jumps were recorded to tell anything";
}
