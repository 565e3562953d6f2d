#pragma once

#include "core/geometry/Grid.h"

#include <QPointF>
#include <QSize>

#include <optional>

namespace skelvin {

// A point in the scene: survey X, Y in metres and the height above the water in metres.
struct ScenePoint
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Where a ray through the picture meets the water.
struct WaterHit
{
    SurveyPoint survey;
    double distanceMetres = 0.0; // from the camera along the ray
    double metresPerPixel = 0.0; // the largest extent of one pixel on the water there
};

// A pinhole camera over the water: its position, height, the point on the water it is aimed at
// (the picture's centre, no roll) and its horizontal field of view, with optional radial lens
// distortion k1 (0: none, so the water plane maps to the picture by an exact projective
// transform). Picture coordinates here are continuous: pixel (i, j) covers [i, i + 1) x
// [j, j + 1), so its centre is at (i + 0.5, j + 0.5).
class PinholeCamera
{
public:
    PinholeCamera(ScenePoint position, SurveyPoint aim, double horizontalFovDegrees, double k1);

    // The same camera with its aim turned: panned to the right about the vertical and tilted
    // up about its own horizontal axis, in degrees.
    PinholeCamera turned(double panDegrees, double tiltDegrees) const;

    // Nothing for a point at or behind the camera's picture plane.
    std::optional<QPointF> project(const ScenePoint &p, QSize size) const;

    // The water seen through a continuous picture point, lens distortion ignored (the water's
    // texture needs no exactness); nothing for a ray that does not go down to the water.
    std::optional<WaterHit> waterAt(QPointF picture, QSize size) const;

    // Pixels per metre across the line of sight at a point (for drawing sizes).
    double pixelsPerMetreAt(const ScenePoint &p, QSize size) const;

private:
    double focalPixels(QSize size) const;

    ScenePoint m_position;
    double m_tanHalfFov = 1.0;
    double m_k1 = 0.0;
    double m_forward[3] = {0, 1, 0};
    double m_right[3] = {1, 0, 0};
    double m_up[3] = {0, 0, 1};
};

} // namespace skelvin
