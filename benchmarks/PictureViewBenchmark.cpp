// The picture view of the measure and grid setup screens with a 1920 x 1080 camera picture,
// offscreen, its view 1560 x 1000 (the picture area of a 1920 x 1080 monitor beside the panel):
// - a full repaint of the view fitted, at 4x, and with the magnifier following the mouse;
// - a wheel step between fit and 1:1 with its repaint;
// - the accuracy map of a 1920 x 1080 view.

#include "core/geometry/AccuracyMap.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "ui/common/PictureView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace skelvin;

// Water with fine detail everywhere, so no part of the picture is cheaper to draw than another.
QImage cameraPicture()
{
    QImage picture(1920, 1080, QImage::Format_RGB888);
    QRandomGenerator random(11);
    for (int y = 0; y < picture.height(); ++y) {
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < picture.width() * 3; ++x)
            line[x] = static_cast<uchar>(60 + random.bounded(120));
    }
    return picture;
}

struct ViewBench
{
    ViewBench()
    {
        view = std::make_unique<PictureView>();
        view->resize(1560, 1000 + 30);
        view->setMagnifierOffered(true);
        view->show();
        view->setPicture(cameraPicture());
        // The grid and the mark, as the measure screen draws them.
        const ScreenPoint corners[] = {{4500, 1800}, {24300, 1800}, {1260, 14400}, {27540, 14400}};
        for (const ScreenPoint &c : corners)
            view->drawBuoyMarker(c, false, 150, Qt::white);
        view->drawLine(corners[3], corners[1], Qt::white);
        view->drawLine(corners[2], corners[0], Qt::white);
        view->setNamedLine(QStringLiteral("lineVerticalImpact"), {14400, 7950}, {14400, 8250},
                           Qt::red);
        view->setNamedLine(QStringLiteral("lineHorizontalImpact"), {14400, 8100}, {14250, 8100},
                           Qt::red);
        view->setNamedLine(QStringLiteral("lineSplashIndicator"), {14610, 8100}, {14610, 7100},
                           Qt::red);
        QApplication::processEvents();
    }

    // Everything in the view painted again, the picture, the drawings, the labels and the
    // magnifier, into a picture as large as the view (as into the window's backing store).
    void repaint()
    {
        QWidget *viewport = view->viewport();
        if (frame.size() != viewport->size())
            frame = QImage(viewport->size(), QImage::Format_ARGB32_Premultiplied);
        viewport->render(&frame);
    }

    void moveMouse(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, view->canvas()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->canvas(), &move);
    }

    std::unique_ptr<PictureView> view;
    QImage frame;
};

ViewBench &bench()
{
    static ViewBench b;
    return b;
}

void BM_RepaintFitted(benchmark::State &state)
{
    ViewBench &b = bench();
    b.view->setMagnifierOn(false);
    b.view->fitToView();
    b.repaint(); // the shrunk picture is made once for its zoom
    for (auto _ : state)
        b.repaint();
    state.counters["zoom"] = b.view->scale().zoom();
}

void BM_RepaintAt4x(benchmark::State &state)
{
    ViewBench &b = bench();
    b.view->setMagnifierOn(false);
    b.view->fitToView();
    b.view->setZoom(4.0);
    for (auto _ : state)
        b.repaint();
}

void BM_MagnifierFollowingTheMouse(benchmark::State &state)
{
    ViewBench &b = bench();
    b.view->fitToView();
    b.view->setMagnifierOn(true);
    const QSize canvas = b.view->canvas()->size();
    int step = 0;
    for (auto _ : state) {
        // A mouse move, then everything on screen painted again.
        b.moveMouse({200 + (step * 7) % (canvas.width() - 400),
                     200 + (step * 3) % (canvas.height() - 400)});
        b.repaint();
        ++step;
    }
    b.view->setMagnifierOn(false);
}

void BM_WheelStepFitToOneToOne(benchmark::State &state)
{
    ViewBench &b = bench();
    b.view->setMagnifierOn(false);
    b.view->fitToView();
    const QPointF at(700, 450);
    bool in = true;
    for (auto _ : state) {
        QWheelEvent wheel(at, b.view->canvas()->mapToGlobal(at), {}, {0, in ? 120 : -120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(b.view->canvas(), &wheel);
        b.repaint();
        in = !in;
    }
}

// A new picture, or a new window size, while fitted: the picture is shrunk once for the zoom.
void BM_NewPictureFitted(benchmark::State &state)
{
    ViewBench &b = bench();
    b.view->setMagnifierOn(false);
    b.view->fitToView();
    const QImage pictures[] = {cameraPicture(), cameraPicture().mirrored()};
    int i = 0;
    for (auto _ : state) {
        b.view->setPicture(pictures[i++ % 2]);
        b.repaint();
    }
}

void BM_AccuracyMap1920x1080(benchmark::State &state)
{
    GridStore grids;
    Grid &g = grids.active();
    g.corner(Corner::UpperLeft) = {{4500, 1800}, {20, 10}};
    g.corner(Corner::UpperRight) = {{24300, 1800}, {75, 10}};
    g.corner(Corner::LowerLeft) = {{1260, 14400}, {20, -10}};
    g.corner(Corner::LowerRight) = {{27540, 14400}, {75, -10}};
    g.transform = *SolveGridTransform(g.corners);
    grids.setActiveJump({0, 0});
    const int threads = static_cast<int>(state.range(0));
    qint64 graded = 0;
    for (auto _ : state) {
        const AccuracyMap map =
            AccuracyMap::ofActiveGrid(grids, TournamentType::Normal, {1920, 1080}, threads);
        const AccuracyMapCounts c = map.counts();
        graded = c.r + c.l + c.c + c.nh;
        benchmark::DoNotOptimize(graded);
    }
    state.counters["pixels_graded"] = static_cast<double>(graded);
}

BENCHMARK(BM_RepaintFitted)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_RepaintAt4x)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_MagnifierFollowingTheMouse)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3);
BENCHMARK(BM_WheelStepFitToOneToOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_NewPictureFitted)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_AccuracyMap1920x1080)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3);

} // namespace
