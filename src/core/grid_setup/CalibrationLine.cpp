#include "core/grid_setup/CalibrationLine.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridTransformSolver.h"

namespace skelvin {

std::optional<std::array<ScreenPoint, 2>> actualToScreen(const GridTransform &t,
                                                         const std::array<SurveyPoint, 2> &actual)
{
    std::array<ScreenPoint, 2> ends{};
    for (size_t i = 0; i < 2; ++i) {
        const std::optional<ScreenPoint> p = SurveyToScreen(t, actual[i]);
        if (!p)
            return std::nullopt;
        ends[i] = {Int(p->x + 0.5), Int(p->y + 0.5)};
    }
    return ends;
}

std::optional<std::array<SurveyPoint, 2>> screenToActual(const GridTransform &t,
                                                         const std::array<ScreenPoint, 2> &screen)
{
    std::array<SurveyPoint, 2> ends{};
    for (size_t i = 0; i < 2; ++i) {
        const std::optional<SurveyPoint> p = ScreenToSurvey(t, screen[i]);
        if (!p)
            return std::nullopt;
        ends[i] = {Int(p->x * 100 + 0.5) / 100, Int(p->y * 100 + 0.5) / 100};
    }
    return ends;
}

} // namespace skelvin
