// How long a first start takes, from the program's construction to the configuration screen,
// with an empty settings store (the operator's answers come at once).

#include "app/Program.h"
#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "core/common/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Answers No to every question and names the video directory when asked for it.
class ReadyOperator : public skelvin::Prompter
{
public:
    explicit ReadyOperator(QString videos) : m_videos(std::move(videos)) {}
    skelvin::Answer message(const skelvin::MessageRequest &) override { return skelvin::Answer::No; }
    std::optional<QString> input(const skelvin::InputRequest &) override { return m_videos; }
    std::optional<QString> chooseFile(const skelvin::FileDialogRequest &) override { return std::nullopt; }

private:
    QString m_videos;
};

void BM_FirstStartToConfiguration(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("videos"));
        QDir(root.path()).mkpath(QStringLiteral("drive/qvio"));
        skelvin::CommandLineOptions options;
        options.paths = skelvin::Paths(root.path() + QStringLiteral("/app"), root.path() + QStringLiteral("/drive"),
                                       root.path() + QStringLiteral("/DE05.conf"));
        skelvin::SystemClock clock;
        ReadyOperator prompter(root.path() + QStringLiteral("/videos"));
        state.ResumeTiming();

        auto program = std::make_unique<skelvin::Program>(options, clock, prompter);
        const bool started = program->start();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(started);

        state.PauseTiming(); // tearing the screens down is not part of the start
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstStartToConfiguration)->Unit(benchmark::kMillisecond);

} // namespace
