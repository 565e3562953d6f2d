// How long the contact finder takes over a 3 s recording at 30 frames a second, 1280 x 720 and
// 1920 x 1080, the frames already in memory (as they are when the recorder hands them over):
// every frame followed and reduced as it is added, then the search.

#include "core/simulation/SimulatedScene.h"
#include "core/vision/ContactFinder.h"
#include "support/TestGrids.h"

#include <benchmark/benchmark.h>

#include <map>
#include <vector>

namespace {

using namespace skelvin;

struct Recording
{
    std::vector<QImage> frames;
    Grid grid;
};

const Recording &recording(QSize size)
{
    static std::map<int, Recording> made;
    Recording &r = made[size.width()];
    if (!r.frames.empty())
        return r;
    SimulatedScene scene;
    scene.camera().swayDegrees = 0.15;
    scene.light().noise = 2.0;
    scene.light().glints = 0.3;
    scene.water().whitecaps = 0.1;
    r.grid = test::gridOfScene(scene, size);
    for (int k = 0; k < 90; ++k)
        r.frames.push_back(scene.render(size, k / 30.0, k / 30.0, k));
    return r;
}

void searchRecording(benchmark::State &state, QSize size)
{
    const Recording &r = recording(size);
    for (auto _ : state) {
        ContactFinder finder(r.grid);
        for (const QImage &frame : r.frames)
            finder.addFrame(frame);
        const ContactFind find = finder.find();
        if (!find.found)
            state.SkipWithError("no contact found");
        benchmark::DoNotOptimize(find.point);
    }
}

void BM_ContactSearch720p30ThreeSeconds(benchmark::State &state)
{
    searchRecording(state, QSize(1280, 720));
}
BENCHMARK(BM_ContactSearch720p30ThreeSeconds)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ContactSearch1080p30ThreeSeconds(benchmark::State &state)
{
    searchRecording(state, QSize(1920, 1080));
}
BENCHMARK(BM_ContactSearch1080p30ThreeSeconds)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
