// How long the simulated camera takes to draw one frame and its chip to compress or convert
// it, and an effect to filter one, on one core. A camera at 1920 x 1080 and 30 fps has 33 ms a
// frame, at 1280 x 720 and 60 fps 16.7 ms.
#include "core/capture/recording/VideoEffectFilter.h"
#include "core/simulation/CameraChip.h"
#include "core/simulation/SceneRenderer.h"
#include "core/simulation/SimulatedScene.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace skelvin;

namespace {

void renderFrames(benchmark::State &state, QSize size, QImage::Format format)
{
    const SimulatedScene scene;
    const SceneRenderer renderer(scene, size, format);
    QImage picture(size, format);
    int frame = 0;
    for (auto _ : state) {
        // A frame in the middle of the flight or of the splash, waves moving on.
        const double t = (frame % 150) / 30.0;
        renderer.renderInto(picture, t, t, frame);
        benchmark::DoNotOptimize(picture.constBits());
        ++frame;
    }
}

void BM_Render1080pBgr0(benchmark::State &state)
{
    renderFrames(state, QSize(1920, 1080), QImage::Format_RGB32);
}
void BM_Render1080pRgb24(benchmark::State &state)
{
    renderFrames(state, QSize(1920, 1080), QImage::Format_RGB888);
}
void BM_Render720pRgb24(benchmark::State &state)
{
    renderFrames(state, QSize(1280, 720), QImage::Format_RGB888);
}

// The simulated camera's chip on one drawn picture: Motion JPEG compression or YUYV conversion,
// what a USB camera's own processor does (the camera's cost, not the program's).
void chipFrames(benchmark::State &state, const QString &pixelFormat, QSize size)
{
    const SimulatedScene scene;
    const QImage::Format format = CameraChip::sensorFormat(pixelFormat);
    const SceneRenderer renderer(scene, size, format);
    QImage sensor(size, format);
    renderer.renderInto(sensor, 1.0, 1.0, 30);
    CameraChip chip;
    if (chip.open(pixelFormat, size)) {
        state.SkipWithError("the chip does not open");
        return;
    }
    qint64 bytes = 0;
    for (auto _ : state) {
        CapturedFrame frame;
        QString error;
        chip.deliver(sensor, frame, error);
        bytes += frame.packet ? frame.packet->size : 0;
    }
    if (bytes > 0)
        state.counters["KiB_per_frame"] = double(bytes) / 1024.0 / double(state.iterations());
}

void BM_ChipMjpeg1080p(benchmark::State &state)
{
    chipFrames(state, QStringLiteral("mjpeg"), QSize(1920, 1080));
}
void BM_ChipMjpeg720p(benchmark::State &state)
{
    chipFrames(state, QStringLiteral("mjpeg"), QSize(1280, 720));
}
void BM_ChipYuyv480p(benchmark::State &state)
{
    chipFrames(state, QStringLiteral("yuyv422"), QSize(640, 480));
}

void BM_DrawWaterOnce1080p(benchmark::State &state)
{
    const SimulatedScene scene;
    for (auto _ : state) {
        SceneRenderer renderer(scene, QSize(1920, 1080), QImage::Format_RGB888);
        benchmark::DoNotOptimize(&renderer);
    }
}

void BM_Effect1080p(benchmark::State &state)
{
    const QSize size(1920, 1080);
    const QImage picture = SimulatedScene().render(size, 1.0, 2.1, 0, QImage::Format_RGB888);
    ffmpeg::Frame frame(av_frame_alloc());
    frame->width = size.width();
    frame->height = size.height();
    frame->format = AV_PIX_FMT_RGB24;
    av_frame_get_buffer(frame.get(), 32);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(frame->data[0] + y * frame->linesize[0], picture.constScanLine(y),
                    size_t(size.width() * 3));
    VideoEffectFilter filter;
    filter.configure(static_cast<int>(state.range(0)), size, AV_PIX_FMT_RGB24);
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.apply(*frame, error));
    state.SetLabel(
        VideoEffectFilter::effectNames().value(int(state.range(0)), "None").toStdString());
}

} // namespace

BENCHMARK(BM_Render1080pBgr0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1080pRgb24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render720pRgb24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChipMjpeg1080p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChipMjpeg720p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChipYuyv480p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawWaterOnce1080p)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Effect1080p)
    ->DenseRange(-1, 2)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
