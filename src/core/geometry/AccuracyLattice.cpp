#include "core/geometry/AccuracyLattice.h"

#include "core/geometry/GridStore.h"
#include "core/geometry/JumpDistance.h"

#include <cmath>
#include <limits>
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

} // namespace

AccuracyGrade gradeOfDelta(double deltaMetres)
{
    if (deltaMetres <= 0.1)
        return AccuracyGrade::R;
    if (deltaMetres <= 0.15)
        return AccuracyGrade::L;
    if (deltaMetres <= 0.2)
        return AccuracyGrade::C;
    return AccuracyGrade::NH;
}

QString gradeText(AccuracyGrade grade)
{
    switch (grade) {
    case AccuracyGrade::R:
        return kGradeR;
    case AccuracyGrade::L:
        return kGradeL;
    case AccuracyGrade::C:
        return kGradeC;
    case AccuracyGrade::NH:
        break;
    }
    return kGradeNH;
}

QString accuracyGrade(double deltaMetres)
{
    return gradeText(gradeOfDelta(deltaMetres));
}

double accuracyDelta(double d0, double dh, double dv)
{
    const double across = std::abs(dh - d0);
    const double down = std::abs(dv - d0);
    // A point without a distance has no change either (a comparison with NaN would pick the
    // other side's change).
    if (std::isnan(across) || std::isnan(down))
        return std::numeric_limits<double>::quiet_NaN();
    return across >= down ? across : down;
}

bool usableTransform(const GridTransform &t)
{
    for (double c : t.c) {
        if (!std::isfinite(c))
            return false;
    }
    // Its 3 x 3 matrix [c2 c3 c1; c7 c8 c6; c4 c5 1] must be invertible.
    const double det = t(2) * (t(8) - t(6) * t(5)) - t(3) * (t(7) - t(6) * t(4))
                       + t(1) * (t(7) * t(5) - t(8) * t(4));
    return det != 0 && std::isfinite(det);
}

std::optional<JumpMeasurement> finiteMeasurement(const GridTransform &transform, SurveyPoint jump,
                                                 TournamentType type, ScreenPoint point)
{
    const std::optional<JumpMeasurement> m = measureJump(transform, jump, type, point);
    if (m && std::isfinite(m->distanceMetres) && std::isfinite(m->survey.x)
        && std::isfinite(m->survey.y))
        return m;
    return std::nullopt;
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
    return measureAccuracyPoint(grids.active().transform, grids.distanceJump(), type, point);
}

AccuracyPoint measureAccuracyPoint(const GridTransform &transform, SurveyPoint jump,
                                   TournamentType type, ScreenPoint point)
{
    AccuracyPoint a;
    a.screen = point;
    const auto d0 = finiteMeasurement(transform, jump, type, point);
    const auto dh = finiteMeasurement(transform, jump, type, {point.x + kAccuracyStepTwips, point.y});
    const auto dv = finiteMeasurement(transform, jump, type, {point.x, point.y + kAccuracyStepTwips});
    if (!d0 || !dh || !dv)
        return a;

    a.distanceMetres = d0->distanceMetres;
    a.rightDistanceMetres = dh->distanceMetres;
    a.belowDistanceMetres = dv->distanceMetres;
    a.deltaMetres = accuracyDelta(d0->distanceMetres, dh->distanceMetres, dv->distanceMetres);
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
