#include "core/geometry/AccuracyMap.h"

#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <set>

using namespace skelvin;

namespace {

// An oblique view of a wide landing area on a 1920 x 1080 picture: the far line short and
// high, the near line long and low. Every corner lies on a multiple of 6 pixels, so every point
// of the check's 7 x 7 lattice falls on a whole pixel. The area is coarse enough for all four
// grades to show.
GridStore obliqueGrids()
{
    GridStore grids;
    Grid &g = grids.active();
    const auto twips = [](double x, double y) { return ScreenPoint{x * 15, y * 15}; };
    g.corner(Corner::UpperLeft) = {twips(696, 120), {20, 30}};
    g.corner(Corner::UpperRight) = {twips(1224, 120), {170, 30}};
    g.corner(Corner::LowerLeft) = {twips(84, 960), {20, -30}};
    g.corner(Corner::LowerRight) = {twips(1836, 960), {170, -30}};
    g.transform = *SolveGridTransform(g.corners);
    grids.setActiveJump({0, 0});
    return grids;
}

MapCell cellOfGrade(const QString &grade)
{
    if (grade == kGradeR)
        return MapCell::R;
    if (grade == kGradeL)
        return MapCell::L;
    if (grade == kGradeC)
        return MapCell::C;
    return MapCell::NH;
}

// The whole picture, so that the lattice points on the right and front lines are inside too.
const AccuracyMap::Outline kWholePicture = {ScreenPoint{0, 0}, ScreenPoint{1920 * 15, 0},
                                            ScreenPoint{1920 * 15, 1080 * 15},
                                            ScreenPoint{0, 1080 * 15}};

} // namespace

TEST(AccuracyMap, GradesEveryPixelAsTheAccuracyCheckGradesItsPoint)
{
    const GridStore grids = obliqueGrids();
    const Grid &g = grids.active();
    const auto lattice =
        accuracyLattice(g.corner(Corner::UpperLeft).screen, g.corner(Corner::UpperRight).screen,
                        g.corner(Corner::LowerLeft).screen, g.corner(Corner::LowerRight).screen);
    const AccuracyPoints check = measureAccuracyLattice(grids, TournamentType::Normal, lattice);
    // Three threads: the rows where one thread's share ends are graded like all others.
    const AccuracyMap map = AccuracyMap::compute(
        g.transform, grids.distanceJump(), TournamentType::Normal, kWholePicture, {1920, 1080}, 3);

    std::set<MapCell> seen;
    for (const AccuracyPoint &p : check) {
        const double x = p.screen.x / 15;
        const double y = p.screen.y / 15;
        ASSERT_EQ(x, std::floor(x)) << "lattice point off the pixels";
        ASSERT_TRUE(p.hasImage);
        EXPECT_EQ(map.at(int(x), int(y)), cellOfGrade(accuracyGrade(p.deltaMetres)))
            << "lattice point " << p.column << ", " << p.row;
        seen.insert(map.at(int(x), int(y)));
    }
    EXPECT_EQ(seen.size(), 4u) << "the grid should show every grade";

    // Any pixel, the last and first rows of each thread's share among them.
    QRandomGenerator random(7);
    std::vector<QPoint> pixels = {{0, 359}, {1919, 360}, {5, 719}, {1000, 720}, {1919, 1079}};
    for (int i = 0; i < 500; ++i)
        pixels.emplace_back(random.bounded(1920), random.bounded(1080));
    for (const QPoint &px : pixels) {
        const AccuracyPoint p =
            measureAccuracyPoint(grids, TournamentType::Normal, {px.x() * 15.0, px.y() * 15.0});
        ASSERT_TRUE(p.hasImage);
        ASSERT_EQ(map.at(px.x(), px.y()), cellOfGrade(accuracyGrade(p.deltaMetres)))
            << px.x() << ", " << px.y();
    }
}

TEST(AccuracyMap, CountsThePixelsInsideTheOutlineOnly)
{
    // 0.005 m a twip square on: no pixel moves a distance by more than 0.075 m, all "R".
    GridTransform fine;
    fine.c = {0, 0.005, 0, 0, 0, 0, 0, 0.005};
    // Pixels 100 to 299 across and 100 to 199 down: the left and upper edges are inside, the
    // right and lower ones belong to the next pixels.
    const AccuracyMap::Outline box = {ScreenPoint{1500, 1500}, ScreenPoint{4500, 1500},
                                      ScreenPoint{4500, 3000}, ScreenPoint{1500, 3000}};
    const AccuracyMap map =
        AccuracyMap::compute(fine, {0, 0}, TournamentType::Normal, box, {400, 300});
    const AccuracyMapCounts c = map.counts();
    EXPECT_EQ(c.r, 200 * 100);
    EXPECT_EQ(c.l + c.c + c.nh + c.noImage, 0);
    EXPECT_EQ(map.at(100, 100), MapCell::R);
    EXPECT_EQ(map.at(299, 199), MapCell::R);
    EXPECT_EQ(map.at(300, 150), MapCell::Outside);
    EXPECT_EQ(map.at(150, 200), MapCell::Outside);
    EXPECT_EQ(map.at(99, 150), MapCell::Outside);

    // A picture smaller than the outline holds only its own pixels; the overlay is clear outside.
    const AccuracyMap cut =
        AccuracyMap::compute(fine, {0, 0}, TournamentType::Normal, box, {200, 150});
    EXPECT_EQ(cut.counts().r, 100 * 50);
    const QImage overlay = map.overlay();
    EXPECT_EQ(overlay.size(), QSize(400, 300));
    EXPECT_EQ(qAlpha(overlay.pixel(50, 50)), 0);
    EXPECT_GT(qAlpha(overlay.pixel(150, 150)), 60);
    EXPECT_LT(qAlpha(overlay.pixel(150, 150)), 200); // half transparent

    // A transform whose vanishing line crosses the area: the pixels beyond it have no grade.
    GridTransform horizon;
    horizon.c = {0, 0.005, 0, 0, -1.0 / 2250, 0, 0, 0.005}; // w = 0 on y = 2250 twips, row 150
    const AccuracyMapCounts h =
        AccuracyMap::compute(horizon, {0, 0}, TournamentType::Normal, box, {400, 300}).counts();
    EXPECT_GT(h.noImage, 0);
    EXPECT_EQ(h.r + h.l + h.c + h.nh + h.noImage, 200 * 100);
}
