#pragma once

#include "core/geometry/Grid.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/simulation/SimulatedScene.h"

#include <QSize>

namespace skelvin::test {

// A camera looking straight down: one twip is one centimetre of water, the corners at 1500 and
// 10500 twips across, 1500 and 7500 down. The jump is at (15, 45), so the picture point
// (6000, 4500) lies 45 m beyond it.
inline Grid straightDownGrid()
{
    Grid g;
    g.description = QStringLiteral("straight down");
    g.corners[0] = {{10500, 1500}, {105, 15}};
    g.corners[1] = {{10500, 7500}, {105, 75}};
    g.corners[2] = {{1500, 1500}, {15, 15}};
    g.corners[3] = {{1500, 7500}, {15, 75}};
    g.transform = *SolveGridTransform(g.corners);
    g.jump = {15, 45};
    return g;
}

// A camera looking across a 40 m by 40 m landing area under perspective.
inline Grid perspectiveGrid()
{
    Grid g;
    g.description = QStringLiteral("tool grid, west");
    g.corners[0] = {{10200, 1600}, {40, 60}};
    g.corners[1] = {{11600, 8100}, {40, 20}};
    g.corners[2] = {{1900, 1500}, {0, 60}};
    g.corners[3] = {{400, 8200}, {0, 20}};
    g.transform = *SolveGridTransform(g.corners);
    g.jump = {20, -5};
    return g;
}

// The grid an operator builds on a simulated scene's view as the camera was set up, every mark
// on its buoy's true centre.
inline Grid gridOfScene(const SimulatedScene &scene, QSize size)
{
    const auto twips = [](QPointF pixels) { return ScreenPoint{pixels.x() * 15.0, pixels.y() * 15.0}; };
    const SceneCourse &c = scene.course();
    Grid grid;
    const auto set = [&](Corner corner, SurveyPoint p) {
        grid.corner(corner) = {twips(scene.pictureOf(p, size)), p};
    };
    set(Corner::UpperLeft, c.upperLeft);
    set(Corner::UpperRight, c.upperRight);
    set(Corner::LowerLeft, c.lowerLeft);
    set(Corner::LowerRight, c.lowerRight);
    grid.checkBuoyScreen = twips(scene.pictureOf(c.checkBuoy, size));
    grid.checkBuoySurvey = c.checkBuoy;
    grid.jump = c.jump;
    grid.transform = *SolveGridTransform(grid.corners);
    return grid;
}

} // namespace skelvin::test
