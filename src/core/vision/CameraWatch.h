#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/GridBuoyCheck.h"

#include <QImage>
#include <QString>

namespace skelvin {

// What the measure screen says of the camera when a picture comes to be measured: the grid's
// buoys looked for near their marks, whether the camera moved, and the grid followed to it.
struct CameraWatch
{
    GridBuoyCheck check;
    QString sign;                     // "Camera steady", the movement, or the buoys not found
    bool moved = false;
    bool pictureMayNotBelong = false; // none of the grid's buoys is near its mark
    CameraFollow follow;              // the followed grid, or why not; only when moved
};

CameraWatch watchCamera(const QImage &picture, const Grid &grid);

// What the capture screen says of the camera's live view: whether it still sees grid n's buoys
// where the grid has them, so a bumped camera is noticed before the next skier starts.
QString captureSignText(int n, const CameraWatch &watch);

// The grid followed for one jump: its corner buoys and check buoy where they were found, the
// transform solved from them. Survey, jump and names stay the grid's own.
Grid followedGrid(const Grid &grid, const CameraWatch &watch);

// What the picture warning says when none of grid n's buoys is near its mark.
QString noBuoyNearItsMarkText(int n);

// The debug log's line for a followed grid.
QString followedLogText(int n, const CameraWatch &watch);

} // namespace skelvin
