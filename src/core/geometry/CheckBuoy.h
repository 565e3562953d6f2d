#pragma once

#include "core/geometry/Grid.h"

#include <optional>

namespace skelvin {

// How far, per axis, a marked check buoy may lie from where its survey position maps:
// 1.5 picture pixels.
inline constexpr double kCheckBuoyToleranceTwips = 1.5 * 15;

struct CheckBuoyCheck
{
    ScreenPoint expected;  // where the check buoy should show
    bool validates = false;
};

// Maps the surveyed check buoy onto the picture and compares it with where it was marked.
// Nothing when the surveyed point has no image on this grid.
std::optional<CheckBuoyCheck> checkBuoyValidation(const GridTransform &transform,
                                                  ScreenPoint marked, SurveyPoint surveyed);

} // namespace skelvin
