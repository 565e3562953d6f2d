#include "core/measure/MarkGeometry.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"

#include <cmath>

namespace skelvin {

std::optional<ScreenPoint> splashPoint(const GridStore &grids, TournamentType type,
                                       bool rightToLeft, ScreenPoint mark)
{
    const GridTransform &t = grids.active().transform;
    std::optional<SurveyPoint> survey = ScreenToSurvey(t, mark);
    if (!survey)
        return std::nullopt;
    const double shift = tournamentCorrectionMetres(type) * grids.directionSign();
    survey->x += rightToLeft ? shift : -shift;
    return SurveyToScreen(t, *survey);
}

double buoyMarkerReachTwips(bool cross, double sizeTwips)
{
    return cross ? sizeTwips : 2 * sizeTwips;
}

BuoyDistanceTexts buoyDistanceTexts(SurveyPoint jump, SurveyPoint buoy)
{
    const double d = std::hypot(jump.x - buoy.x, jump.y - buoy.y);
    return {Str(Int(d * 3.28 + 0.5)) + QStringLiteral(" feet"),
            Str(Int(d * 10 + 0.5) / 10) + QStringLiteral(" meters")};
}

std::optional<LiveReadout> liveReadout(const GridStore &grids, TournamentType type, ScreenPoint p)
{
    const std::optional<JumpMeasurement> m = distance_calculation(grids, type, p);
    if (!m)
        return std::nullopt;
    const double d = m->distanceMetres;
    return LiveReadout{Str(Int(p.x)), Str(Int(p.y)), Str(Int(m->survey.x * 100 + 0.5) / 100),
                       Str(Int(m->survey.y * 100 + 0.5) / 100),
                       Str(Int(d * 10 + 0.5) / 10) + QStringLiteral("m ") + Str(Int(d * 3.28 + 0.5))
                           + QStringLiteral("ft")};
}

GridChoice nextGrid(const QString &caption, int gridCount)
{
    if (caption == QLatin1String("&Grid 1"))
        return {2, QStringLiteral("&Grid 2")};
    if (caption == QLatin1String("&Grid 2") && gridCount == 3)
        return {3, QStringLiteral("&Grid 3")};
    return {1, QStringLiteral("&Grid 1")};
}

QString nextJumpNumber(const QString &jumpNo)
{
    return Str(Val(jumpNo) + 1);
}

} // namespace skelvin
