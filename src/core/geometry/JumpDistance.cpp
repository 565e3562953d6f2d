#include "core/geometry/JumpDistance.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"

#include <cmath>

namespace skelvin {

std::optional<JumpMeasurement> measureJump(const GridTransform &transform, SurveyPoint jump,
                                           TournamentType type, ScreenPoint point)
{
    const std::optional<SurveyPoint> survey = ScreenToSurvey(transform, point);
    if (!survey)
        return std::nullopt;
    const double dx = jump.x - survey->x;
    const double dy = jump.y - survey->y;
    const double d = std::sqrt(dx * dx + dy * dy);
    return JumpMeasurement{*survey, d + tournamentCorrectionMetres(type)};
}

std::optional<JumpMeasurement> distance_calculation(const GridStore &grids, TournamentType type,
                                                    ScreenPoint point)
{
    return measureJump(grids.active().transform, grids.distanceJump(), type, point);
}

OfficialDistance officialDistance(double distanceMetres, TournamentType type)
{
    const double metres = Int(distanceMetres * 10 + 0.5) / 10;
    const double feet = type == TournamentType::Normal
                            ? Int(distanceMetres / 0.3048 + 0.5)
                            : Int(distanceMetres / 0.03048 + 0.5) / 10;
    return {metres, feet};
}

} // namespace skelvin
