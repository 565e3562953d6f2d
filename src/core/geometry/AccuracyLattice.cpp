#include "core/geometry/AccuracyLattice.h"

#include "core/geometry/GridStore.h"
#include "core/geometry/JumpDistance.h"

#include <cmath>
#include <optional>

namespace skelvin {

namespace {

constexpr int kLastLine = kAccuracyLatticeSize - 1;

// The point `step` sixths of the way; the end points themselves are taken as they are, so the
// corners of the lattice are exactly the corner buoys.
ScreenPoint between(ScreenPoint from, ScreenPoint to, int step)
{
    if (step == 0)
        return from;
    if (step == kLastLine)
        return to;
    return {from.x + (to.x - from.x) * step / kLastLine, from.y + (to.y - from.y) * step / kLastLine};
}

// The distance at a point, when the point has a finite image.
std::optional<JumpMeasurement> finiteMeasurement(const GridStore &grids, TournamentType type,
                                                 ScreenPoint point)
{
    const std::optional<JumpMeasurement> m = distance_calculation(grids, type, point);
    if (m && std::isfinite(m->distanceMetres) && std::isfinite(m->survey.x)
        && std::isfinite(m->survey.y))
        return m;
    return std::nullopt;
}

} // namespace

QString accuracyGrade(double deltaMetres)
{
    if (deltaMetres <= 0.1)
        return kGradeR;
    if (deltaMetres <= 0.15)
        return kGradeL;
    if (deltaMetres <= 0.2)
        return kGradeC;
    return kGradeNH;
}

std::array<ScreenPoint, kAccuracyPointCount> accuracyLattice(ScreenPoint upperLeft,
                                                             ScreenPoint upperRight,
                                                             ScreenPoint lowerLeft,
                                                             ScreenPoint lowerRight)
{
    std::array<ScreenPoint, kAccuracyPointCount> lattice{};
    for (int j = 0; j < kAccuracyLatticeSize; ++j) {
        const ScreenPoint left = between(upperLeft, lowerLeft, j);
        const ScreenPoint right = between(upperRight, lowerRight, j);
        for (int i = 0; i < kAccuracyLatticeSize; ++i)
            lattice[static_cast<size_t>(i * kAccuracyLatticeSize + j)] = between(left, right, i);
    }
    return lattice;
}

AccuracyPoint measureAccuracyPoint(const GridStore &grids, TournamentType type, ScreenPoint point)
{
    AccuracyPoint a;
    a.screen = point;
    const auto d0 = finiteMeasurement(grids, type, point);
    const auto dh = finiteMeasurement(grids, type, {point.x + kAccuracyStepTwips, point.y});
    const auto dv = finiteMeasurement(grids, type, {point.x, point.y + kAccuracyStepTwips});
    if (!d0 || !dh || !dv)
        return a;

    a.distanceMetres = d0->distanceMetres;
    a.rightDistanceMetres = dh->distanceMetres;
    a.belowDistanceMetres = dv->distanceMetres;
    const double across = std::abs(dh->distanceMetres - d0->distanceMetres);
    const double down = std::abs(dv->distanceMetres - d0->distanceMetres);
    a.deltaMetres = across >= down ? across : down;
    a.belowSurvey = dv->survey;
    // Two huge distances can differ by infinity minus infinity.
    a.hasImage = std::isfinite(a.deltaMetres);
    return a;
}

AccuracyPoints measureAccuracyLattice(const GridStore &grids, TournamentType type,
                                      const std::array<ScreenPoint, kAccuracyPointCount> &lattice)
{
    AccuracyPoints points{};
    for (int i = 0; i < kAccuracyLatticeSize; ++i) {
        for (int j = 0; j < kAccuracyLatticeSize; ++j) {
            const auto k = static_cast<size_t>(i * kAccuracyLatticeSize + j);
            points[k] = measureAccuracyPoint(grids, type, lattice[k]);
            points[k].column = i;
            points[k].row = j;
        }
    }
    return points;
}

} // namespace skelvin
