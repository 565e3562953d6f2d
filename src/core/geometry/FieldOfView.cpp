#include "core/geometry/FieldOfView.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridTransformSolver.h"

#include <cmath>
#include <numbers>

namespace skelvin {

ScreenPoint leftEdge(const Grid &grid)
{
    const ScreenPoint upper = grid.corner(Corner::UpperLeft).screen;
    const ScreenPoint lower = grid.corner(Corner::LowerLeft).screen;
    return lower.x < upper.x ? lower : upper;
}

ScreenPoint rightEdge(const Grid &grid)
{
    const ScreenPoint upper = grid.corner(Corner::UpperRight).screen;
    const ScreenPoint lower = grid.corner(Corner::LowerRight).screen;
    return lower.x > upper.x ? lower : upper;
}

std::optional<double> edgeAngleDegrees(const GridTransform &transform, ScreenPoint edge)
{
    const std::optional<SurveyPoint> at = ScreenToSurvey(transform, edge);
    const std::optional<SurveyPoint> above =
        ScreenToSurvey(transform, {edge.x, edge.y - kEdgeProbeTwips});
    if (!at || !above)
        return std::nullopt;
    // A vertical edge that maps parallel to the survey X axis divides by zero and gives +-90
    // degrees, which the field of view rejects; only 0 / 0 has no direction at all.
    const double degrees =
        std::atan((above->x - at->x) / (above->y - at->y)) * 180 / std::numbers::pi;
    if (!std::isfinite(degrees))
        return std::nullopt;
    return degrees;
}

double fieldOfViewDegrees(double leftAngle, double rightAngle)
{
    return Int(std::abs(leftAngle - rightAngle) * 10 + 0.5) / 10;
}

double pictureWidthTwips(const QString &pictureWidthText)
{
    const double width = Val(pictureWidthText);
    return width > 0 ? width : kDefaultPictureWidthTwips;
}

} // namespace skelvin
