#pragma once

#include "core/geometry/Grid.h"

#include <array>
#include <optional>

namespace skelvin {

// From survey to picture: each end's twips are Int(x + 0.5), Int(y + 0.5). Nothing when an end
// has no image on this grid.
std::optional<std::array<ScreenPoint, 2>> actualToScreen(const GridTransform &t,
                                                         const std::array<SurveyPoint, 2> &actual);

// From picture to survey, to the nearest centimetre: Int(X * 100 + 0.5) / 100.
std::optional<std::array<SurveyPoint, 2>> screenToActual(const GridTransform &t,
                                                         const std::array<ScreenPoint, 2> &screen);

} // namespace skelvin
