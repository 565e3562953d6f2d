#include "core/geometry/CheckBuoy.h"

#include "core/geometry/GridTransformSolver.h"

#include <cmath>

namespace skelvin {

std::optional<CheckBuoyCheck> checkBuoyValidation(const GridTransform &transform,
                                                  ScreenPoint marked, SurveyPoint surveyed)
{
    const std::optional<ScreenPoint> expected = SurveyToScreen(transform, surveyed);
    if (!expected)
        return std::nullopt;
    const bool off = std::abs(marked.x - expected->x) > kCheckBuoyToleranceTwips
                     || std::abs(marked.y - expected->y) > kCheckBuoyToleranceTwips;
    return CheckBuoyCheck{*expected, !off};
}

} // namespace skelvin
