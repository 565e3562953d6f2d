// How long the buoy finder takes on a 1920 x 1080 view of the simulated world: the snap of one
// click and the five-buoy check of a whole grid.

#include "core/simulation/SimulatedScene.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/vision/GridBuoyCheck.h"

#include <benchmark/benchmark.h>

namespace {

using namespace skelvin;

const QSize kSize(1920, 1080);

struct View
{
    SimulatedScene scene;
    QImage picture;
    Grid grid;

    View()
    {
        picture = scene.render(kSize, 5.0, std::nullopt, 0);
        const SceneCourse &c = scene.course();
        const auto twips = [&](SurveyPoint p) {
            const QPointF at = scene.pictureOf(p, kSize);
            return ScreenPoint{at.x() * 15.0, at.y() * 15.0};
        };
        grid.corner(Corner::UpperLeft) = {twips(c.upperLeft), c.upperLeft};
        grid.corner(Corner::UpperRight) = {twips(c.upperRight), c.upperRight};
        grid.corner(Corner::LowerLeft) = {twips(c.lowerLeft), c.lowerLeft};
        grid.corner(Corner::LowerRight) = {twips(c.lowerRight), c.lowerRight};
        grid.checkBuoyScreen = twips(c.checkBuoy);
        grid.checkBuoySurvey = c.checkBuoy;
        grid.transform = *SolveGridTransform(grid.corners);
    }
};

const View &view()
{
    static const View v;
    return v;
}

void BM_SnapOneClick(benchmark::State &state)
{
    const View &v = view();
    BuoySearch search;
    search.near = v.scene.pictureOf(v.scene.course().checkBuoy, kSize) + QPointF(2.0, -1.5);
    search.expectedDiameterPx = expectedBuoyDiameterPx(v.grid.transform, search.near);
    for (auto _ : state) {
        const BuoyFind find = findBuoy(v.picture, search);
        benchmark::DoNotOptimize(find.centre);
    }
}
BENCHMARK(BM_SnapOneClick)->Unit(benchmark::kMillisecond);

void BM_FiveBuoyCheck(benchmark::State &state)
{
    const View &v = view();
    for (auto _ : state) {
        const GridBuoyCheck check = checkGridBuoys(v.picture, v.grid);
        benchmark::DoNotOptimize(check.meanShift);
    }
}
BENCHMARK(BM_FiveBuoyCheck)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
