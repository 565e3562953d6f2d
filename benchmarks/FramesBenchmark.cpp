// How fast the frame player gets a 1920 x 1080 frame ready to show.
//
// Figures per kind of video (Motion JPEG; H.264 with B-frames and a key frame every 30 or every
// 10 frames), on 90-frame videos with a still, finely textured scene and a little changing
// grain:
// - OpenVideo: opening the video and building its frame table;
// - DecodeNextFrame: the decoder alone delivering the next frame in order: one frame's decode
//   (and conversion to 24 bits), the unit the other figures are measured against;
// - StepForward / StepBack: a step of the frame source as the player makes it, one step every
//   100 ms (the key repeat), from the request to the picture being ready;
// - ColdJump: a jump to a random frame far from the position (nothing of it decoded yet),
//   made while the worker is idle, from the request to the picture being ready;
// - ColdJumpDirect: the decoder alone decoding that random frame after a seek, i.e. the least
//   work any player must do for it.
// Step and jump latencies are reported as median_ms and p95_ms counters; the jumps also
// report decode_ms, one frame's decode measured between the jumps under the same load, and
// ratio, the median jump over it.

#include "core/frames/FrameSource.h"
#include "core/frames/VideoDecoder.h"

#include "TestVideo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using skelvin::FrameSource;
using skelvin::VideoDecoder;
using skelvin::test::TestCodec;

constexpr int kFrames = 90;
constexpr int kStepIntervalMs = 100;

// A video kind: its codec and, for H.264, how many frames from one key frame to the next.
struct Kind
{
    TestCodec codec;
    int gopFrames;
    std::string label() const
    {
        return skelvin::test::codecLabel(codec) +
               (codec == TestCodec::MotionJpeg ? std::string() : "Key" + std::to_string(gopFrames));
    }
    bool operator<(const Kind &other) const
    {
        return std::tie(codec, gopFrames) < std::tie(other.codec, other.gopFrames);
    }
};

QString videoFor(Kind kind)
{
    static QTemporaryDir dir;
    static std::map<Kind, QString> made;
    if (const auto it = made.find(kind); it != made.end())
        return it->second;
    const TestCodec codec = kind.codec;
    skelvin::test::TestVideoRecipe recipe;
    recipe.codec = codec;
    recipe.width = 1920;
    recipe.height = 1080;
    recipe.frames = kFrames;
    recipe.gopFrames = kind.gopFrames;
    recipe.cameraDetail = true;
    const QString path = dir.filePath(QString::fromStdString(kind.label()) + ".avi");
    const QString error = skelvin::test::writeTestVideo(path, recipe);
    if (!error.isEmpty())
        qFatal("cannot write the benchmark video: %s", qPrintable(error));
    made[kind] = path;
    return path;
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::max(1.0, std::ceil(fraction * double(values.size()))));
    return values[std::min(rank, values.size()) - 1];
}

void reportLatencies(benchmark::State &state, const std::vector<double> &latenciesMs)
{
    state.counters["median_ms"] = percentile(latenciesMs, 0.5);
    state.counters["p95_ms"] = percentile(latenciesMs, 0.95);
}

// Runs the event loop, as the interface thread does, until the picture at the position is
// ready; returns false on time-out.
bool waitForPicture(FrameSource &source)
{
    if (!source.currentFrame().isNull())
        return true;
    QEventLoop loop;
    QObject::connect(&source, &FrameSource::frameReady, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return !source.currentFrame().isNull();
}

// Moves the source and measures, as the player's screen sees it, the time from the request to
// the frameReady signal that hands it the picture to show. Returns a negative time on failure.
template <typename Move> double timeUntilShown(FrameSource &source, Move move)
{
    QEventLoop loop;
    QElapsedTimer clock;
    double shownMs = -1;
    const auto connection =
        QObject::connect(&source, &FrameSource::frameReady, &loop, [&](int frame, const QImage &) {
            if (frame == source.position() && shownMs < 0) {
                shownMs = double(clock.nsecsElapsed()) / 1e6;
                loop.quit();
            }
        });
    clock.start();
    move();
    if (shownMs < 0) {
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QObject::disconnect(connection);
    return shownMs;
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void DecodeNextFrame(benchmark::State &state, Kind codec)
{
    auto decoder = VideoDecoder::open(videoFor(codec), nullptr);
    decoder->decodeFrame(0);
    int frame = 1;
    for (auto _ : state) {
        auto picture = decoder->decodeFrame(frame);
        if (picture)
            decoder->recycle(std::move(picture.value()));
        if (++frame == decoder->frameCount()) {
            state.PauseTiming();
            decoder->decodeFrame(0);
            frame = 1;
            state.ResumeTiming();
        }
    }
}

void Step(benchmark::State &state, Kind codec, bool backward)
{
    FrameSource source;
    source.open(videoFor(codec));
    source.seek(backward ? source.frameCount() - 1 : 0);
    waitForPicture(source);
    std::vector<double> latenciesMs;
    for (auto _ : state) {
        pause(kStepIntervalMs);
        const double ms =
            timeUntilShown(source, [&] { backward ? source.stepBack() : source.stepForward(); });
        if (ms < 0)
            state.SkipWithError("no picture");
        state.SetIterationTime(ms / 1000);
        latenciesMs.push_back(ms);
    }
    reportLatencies(state, latenciesMs);
}

// One frame's decode, measured between the jumps so that it sees the same machine load: the
// decoder delivering the next frames in order, per frame (with frame threads a single next
// frame may already be decoded, so four are timed).
double oneFrameDecodeMs(VideoDecoder &decoder, int frame)
{
    constexpr int kTimed = 4;
    frame = std::min(frame, decoder.frameCount() - 1 - kTimed);
    QElapsedTimer clock;
    for (int i = 0; i <= kTimed; ++i) {
        if (i == 1)
            clock.start();
        auto picture = decoder.decodeFrame(frame + i);
        if (picture)
            decoder.recycle(std::move(picture.value()));
    }
    return double(clock.nsecsElapsed()) / 1e6 / kTimed;
}

void reportJumps(benchmark::State &state, const std::vector<double> &latenciesMs,
                 const std::vector<double> &decodesMs)
{
    reportLatencies(state, latenciesMs);
    state.counters["decode_ms"] = percentile(decodesMs, 0.5);
    state.counters["ratio"] = percentile(latenciesMs, 0.5) / percentile(decodesMs, 0.5);
}

int farFrame(std::mt19937 &random, int frameCount, int from, int distance)
{
    int target = 0;
    do
        target = int(random() % std::uint32_t(frameCount));
    while (std::abs(target - from) <= distance);
    return target;
}

void ColdJump(benchmark::State &state, Kind codec)
{
    FrameSource source;
    source.open(videoFor(codec));
    auto reference = VideoDecoder::open(videoFor(codec), nullptr);
    waitForPicture(source);
    std::mt19937 random(7);
    std::vector<double> latenciesMs;
    std::vector<double> decodesMs;
    for (auto _ : state) {
        const int target =
            farFrame(random, source.frameCount(), source.position(), 2 * source.halfWindow());
        pause(500); // the worker finishes reading ahead of the last position
        const double ms = timeUntilShown(source, [&] { source.seek(target); });
        if (ms < 0)
            state.SkipWithError("no picture");
        state.SetIterationTime(ms / 1000);
        latenciesMs.push_back(ms);
        pause(500);
        decodesMs.push_back(oneFrameDecodeMs(*reference, target));
    }
    reportJumps(state, latenciesMs, decodesMs);
}

void ColdJumpDirect(benchmark::State &state, Kind codec)
{
    auto decoder = VideoDecoder::open(videoFor(codec), nullptr);
    std::mt19937 random(7);
    std::vector<double> latenciesMs;
    std::vector<double> decodesMs;
    QElapsedTimer clock;
    int last = 0;
    for (auto _ : state) {
        last = farFrame(random, decoder->frameCount(), last, 20);
        clock.start();
        auto picture = decoder->decodeFrame(last);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (picture)
            decoder->recycle(std::move(picture.value()));
        state.SetIterationTime(ms / 1000);
        latenciesMs.push_back(ms);
        decodesMs.push_back(oneFrameDecodeMs(*decoder, last));
    }
    reportJumps(state, latenciesMs, decodesMs);
}

// Opening a video: its headers, and the frame table read from every packet.
void OpenVideo(benchmark::State &state, Kind codec)
{
    const QString path = videoFor(codec);
    for (auto _ : state)
        benchmark::DoNotOptimize(VideoDecoder::open(path, nullptr));
    state.counters["frames"] = kFrames;
}

void registerAll()
{
    for (const Kind kind : {Kind{TestCodec::MotionJpeg, 1}, Kind{TestCodec::H264BFrames, 30},
                            Kind{TestCodec::H264BFrames, 10}}) {
        const std::string label = kind.label();
        const auto named = [&](const char *name) { return name + ("/" + label); };
        benchmark::RegisterBenchmark(named("OpenVideo").c_str(), OpenVideo, kind)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(named("DecodeNextFrame").c_str(), DecodeNextFrame, kind)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(named("StepForward").c_str(), Step, kind, false)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(60);
        benchmark::RegisterBenchmark(named("StepBack").c_str(), Step, kind, true)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(60);
        benchmark::RegisterBenchmark(named("ColdJump").c_str(), ColdJump, kind)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(30);
        benchmark::RegisterBenchmark(named("ColdJumpDirect").c_str(), ColdJumpDirect, kind)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(30);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
