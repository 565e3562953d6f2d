#pragma once

#include "core/geometry/Grid.h"

#include <QString>

#include <optional>

namespace skelvin {

// How far above an edge corner the second point of its edge is taken.
inline constexpr double kEdgeProbeTwips = 45;

// The width the setup screen's picture has until a picture is taken in.
inline constexpr double kDefaultPictureWidthTwips = 12000;

// The corner that bounds the grid on the left of the picture: of upper left and lower left the
// one with the smaller x (upper left when equal).
ScreenPoint leftEdge(const Grid &grid);
// The corner that bounds it on the right: of upper right and lower right the one with the
// larger x (upper right when equal).
ScreenPoint rightEdge(const Grid &grid);

// The angle, in degrees, that a vertical line of the picture through the edge corner makes with
// the survey Y axis: arctan(dX / dY) between the corner and the point 45 twips above it.
// Nothing when either point has no image or the two map onto one survey point.
std::optional<double> edgeAngleDegrees(const GridTransform &transform, ScreenPoint edge);

// The camera's field of view across the grid, rounded half up to 0.1 degree.
double fieldOfViewDegrees(double leftAngle, double rightAngle);

// The picture width for the width and ratio percentages: the value of the screen's text, or the
// default width when that is not a positive number (a percentage of nothing means nothing).
double pictureWidthTwips(const QString &pictureWidthText);

} // namespace skelvin
