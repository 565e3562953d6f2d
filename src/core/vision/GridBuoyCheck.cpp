#include "core/vision/GridBuoyCheck.h"

#include "core/common/PictureSize.h"
#include "core/geometry/CheckBuoy.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/TwipsPixels.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

namespace skelvin {

namespace {

// Course buoys are about this wide; the finder accepts discs from half to twice the size.
constexpr double kBuoyDiameterMetres = 0.4;

double distanceFromJump(const GridTransform &t, SurveyPoint jump, ScreenPoint p)
{
    const std::optional<SurveyPoint> s = ScreenToSurvey(t, p);
    return s ? std::hypot(s->x - jump.x, s->y - jump.y) : std::nan("");
}

} // namespace

double expectedBuoyDiameterPx(const GridTransform &transform, QPointF mark)
{
    const std::optional<SurveyPoint> a = ScreenToSurvey(transform, twipsOf(mark - QPointF(1, 0)));
    const std::optional<SurveyPoint> b = ScreenToSurvey(transform, twipsOf(mark + QPointF(1, 0)));
    if (!a || !b)
        return 8.0;
    const double metresPerPixel = std::hypot(b->x - a->x, b->y - a->y) / 2.0;
    if (!(metresPerPixel > 0.0))
        return 8.0;
    return std::clamp(kBuoyDiameterMetres / metresPerPixel, 4.0, 80.0);
}

GridBuoyCheck checkGridBuoys(const QImage &picture, const Grid &grid, double searchRadiusPx)
{
    GridBuoyCheck check;
    const std::array<std::pair<const char *, ScreenPoint>, kGridBuoyCount> marks = {{
        {"upper_left", grid.corner(Corner::UpperLeft).screen},
        {"upper_right", grid.corner(Corner::UpperRight).screen},
        {"lower_left", grid.corner(Corner::LowerLeft).screen},
        {"lower_right", grid.corner(Corner::LowerRight).screen},
        {"check_buoy", grid.checkBuoyScreen},
    }};
    double sumLength = 0.0;
    for (size_t i = 0; i < marks.size(); ++i) {
        GridBuoyFind &b = check.buoys[i];
        b.name = QString::fromLatin1(marks[i].first);
        b.mark = pixelsOf(marks[i].second);
        if (i == 4 && !grid.hasCheckBuoy()) {
            b.find.reason = QStringLiteral("the grid has no check buoy");
            continue;
        }
        BuoySearch search;
        search.near = b.mark;
        search.expectedDiameterPx = expectedBuoyDiameterPx(grid.transform, b.mark);
        search.searchRadiusPx = searchRadiusPx;
        b.find = findBuoy(picture, search);
        if (!b.find.found)
            continue;
        ++check.foundCount;
        check.meanShift += b.shift();
        sumLength += std::hypot(b.shift().x(), b.shift().y());
    }
    if (check.foundCount > 0) {
        check.meanShift /= check.foundCount;
        check.meanShiftLength = sumLength / check.foundCount;
    }

    std::array<CornerBuoy, CornerCount> corners = grid.corners;
    bool allCorners = true;
    const std::array<std::pair<Corner, size_t>, CornerCount> cornerBuoys = {{
        {Corner::UpperLeft, 0}, {Corner::UpperRight, 1}, {Corner::LowerLeft, 2}, {Corner::LowerRight, 3}}};
    for (const auto &[corner, index] : cornerBuoys) {
        const BuoyFind &find = check.buoys[index].find;
        allCorners = allCorners && find.found;
        if (find.found)
            corners[static_cast<size_t>(corner)].screen = twipsOf(find.centre);
    }
    if (allCorners)
        check.followed = SolveGridTransform(corners);
    if (check.foundCount > 0) {
        // The grid's centre on the water, where the grid has it and where the camera's shift
        // puts it now: the error a distance there gets when measured on the grid as it is. The
        // mean shift of every buoy found stands for the camera's movement, steadier than the
        // four corners' grid solved again.
        SurveyPoint centre;
        for (const CornerBuoy &c : grid.corners) {
            centre.x += c.survey.x / CornerCount;
            centre.y += c.survey.y / CornerCount;
        }
        if (const std::optional<ScreenPoint> there = SurveyToScreen(grid.transform, centre)) {
            const ScreenPoint now = twipsOf(pixelsOf(*there) + check.meanShift);
            const double change = distanceFromJump(grid.transform, grid.jump, now) -
                                  distanceFromJump(grid.transform, grid.jump, *there);
            if (std::isfinite(change))
                check.distanceChangeMetres = change;
        }
    }
    check.moved = check.meanShiftLength > kCameraMovedPixels ||
                  (check.distanceChangeMetres &&
                   std::abs(*check.distanceChangeMetres) > kCameraMovedMetres);
    return check;
}

CameraFollow followCamera(const Grid &grid, const GridBuoyCheck &check)
{
    CameraFollow follow;
    QStringList missing;
    for (size_t i = 0; i < CornerCount; ++i)
        if (!check.buoys[i].find.found)
            missing << check.buoys[i].name;
    if (!missing.isEmpty()) {
        follow.refusal = QStringLiteral("not found: %1").arg(missing.join(QStringLiteral(", ")));
        return follow;
    }
    if (!check.followed) {
        follow.refusal = QStringLiteral("the found corner buoys give no grid");
        return follow;
    }
    const GridBuoyFind &checkBuoy = check.buoys[4];
    if (!checkBuoy.find.found) {
        follow.refusal = QStringLiteral("the check buoy was not found (%1)").arg(checkBuoy.find.reason);
        return follow;
    }
    const std::optional<CheckBuoyCheck> validation =
        checkBuoyValidation(*check.followed, twipsOf(checkBuoy.find.centre), grid.checkBuoySurvey);
    if (!validation || !validation->validates) {
        follow.refusal = QStringLiteral("the check buoy is not where the followed grid puts it");
        return follow;
    }
    follow.transform = check.followed;
    return follow;
}

} // namespace skelvin
