#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/BuoyFinder.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>

namespace skelvin {

// The five buoys of a grid, in the order they are reported.
inline constexpr int kGridBuoyCount = 5;

// One of a grid's buoys looked for where the grid has its mark.
struct GridBuoyFind
{
    QString name;  // upper_left, upper_right, lower_left, lower_right, check_buoy
    QPointF mark;  // the grid's mark, pixels (the centre of pixel i is i)
    BuoyFind find; // what was found near it
    QPointF shift() const { return find.found ? find.centre - mark : QPointF(); }
};

// Whether the camera still sees the grid's buoys where the grid has them.
struct GridBuoyCheck
{
    std::array<GridBuoyFind, kGridBuoyCount> buoys;
    int foundCount = 0;
    QPointF meanShift;          // of the buoys found, pixels
    double meanShiftLength = 0; // the mean of their distances from the marks, pixels
    // The grid solved again from the found corner buoys and the same survey; only when all four
    // corners were found.
    std::optional<GridTransform> followed;
    // How much the camera's movement changes a distance at the grid's centre measured on the
    // grid as it is, metres; only when a buoy was found.
    std::optional<double> distanceChangeMetres;
    bool moved = false; // more than half a pixel on average, or more than 0.02 m at the centre
};

// Moved by more than this on average, the camera is taken to have moved.
inline constexpr double kCameraMovedPixels = 0.5;
// A change of a distance in the landing area by more than this is a moved camera too.
inline constexpr double kCameraMovedMetres = 0.02;

// Looks for the grid's four corner buoys and its check buoy (when it has one) within
// `searchRadiusPx` of their marks in `picture`.
GridBuoyCheck checkGridBuoys(const QImage &picture, const Grid &grid, double searchRadiusPx = 12.0);

// The grid followed to where the camera shows the buoys now, or why not: a follow needs all four
// corner buoys found and the check buoy, found too, where the followed grid puts it.
struct CameraFollow
{
    std::optional<GridTransform> transform;
    QString refusal; // in words, when there is no transform
};
CameraFollow followCamera(const Grid &grid, const GridBuoyCheck &check);

// The size a buoy of a grid shows at `mark`, from the grid's scale there: pixels across.
double expectedBuoyDiameterPx(const GridTransform &transform, QPointF mark);

} // namespace skelvin
