#include "core/simulation/SimulatedScene.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/vision/GridBuoyCheck.h"
#include "support/SceneViews.h"
#include "support/TestGrids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <random>

namespace skelvin {
namespace {

const QSize kSize(1280, 720);

ScreenPoint twips(QPointF pixels)
{
    return {pixels.x() * 15.0, pixels.y() * 15.0};
}

// The grid an operator builds on the scene's view, every mark on its buoy's true centre.
Grid gridOf(const SimulatedScene &scene)
{
    return test::gridOfScene(scene, kSize);
}

// The camera bumped at the recording's start by as much as moves the picture's centre `pixels`
// to the side.
SimulatedScene bumped(SimulatedScene scene, double pixels)
{
    SceneCamera &camera = scene.camera();
    const double focal = kSize.width() / 2.0 / std::tan(camera.horizontalFovDegrees * M_PI / 360.0);
    camera.bumpPanDegrees = -std::atan(pixels / focal) * 180.0 / M_PI;
    camera.bumpSeconds = 0.0;
    return scene;
}

bool wellInside(const SimulatedScene &scene)
{
    const SceneCourse &c = scene.course();
    for (const SurveyPoint &p : {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
        const QPointF at = scene.pictureOf(p, kSize);
        if (!(at.x() > 30 && at.y() > 30 && at.x() < kSize.width() - 30 && at.y() < kSize.height() - 30))
            return false;
    }
    return true;
}

// A view an operator can build a grid on, every buoy well inside the picture, on a day of its
// own.
SimulatedScene randomView(std::mt19937 &random)
{
    for (;;) {
        SimulatedScene scene = testing::randomSiteView(random);
        if (!wellInside(scene))
            continue;
        testing::randomDay(scene, random);
        return scene;
    }
}

// A steady camera is never taken for a moved one, whatever the light, the waves, the glints and
// the whitecaps do; a bump of one, two or five pixels always is.
TEST(GridBuoyCheck, ASteadyCameraIsNeverFlaggedAndABumpAlwaysIs)
{
    std::mt19937 random(909);
    int allFive = 0;
    double largestSteadyShift = 0.0;
    const int views = testing::manyViews(300);
    for (int view = 0; view < views; ++view) {
        const SimulatedScene scene = randomView(random);
        const Grid grid = gridOf(scene);
        const double seconds = testing::between(random, 0.0, 60.0);
        const GridBuoyCheck steady =
            checkGridBuoys(scene.render(kSize, seconds, std::nullopt, view), grid);
        allFive += steady.foundCount == 5;
        EXPECT_GE(steady.foundCount, 4) << "view " << view;
        EXPECT_FALSE(steady.moved) << "view " << view << ": " << steady.meanShiftLength << " px";
        largestSteadyShift = std::max(largestSteadyShift, steady.meanShiftLength);
        ASSERT_TRUE(steady.distanceChangeMetres.has_value());
        EXPECT_LT(std::abs(*steady.distanceChangeMetres), 0.01);

        // Every fourth view is also bumped, 75 views in all: drawing each view again three
        // times over would make the test slow.
        if (view % 4 != 0)
            continue;
        for (double bump : {1.0, 2.0, 5.0}) {
            const SimulatedScene moved = bumped(scene, view % 2 ? bump : -bump);
            const GridBuoyCheck check =
                checkGridBuoys(moved.render(kSize, seconds, seconds, view), grid);
            EXPECT_TRUE(check.moved) << "view " << view << ", bump " << bump;
            EXPECT_NEAR(std::abs(check.meanShift.x()), bump, 0.35 * bump) << "view " << view;
        }
    }
    std::cout << "all five buoys found in " << allFive << " of " << views << " steady views; the "
              << "largest mean shift of a steady camera " << largestSteadyShift << " px\n";
    EXPECT_GE(allFive, 0.99 * views);
}

// Measured on the grid followed to the moved view, the landing at its true pixel is within
// 0.02 m of the true distance; on the grid as it was it is not.
TEST(GridBuoyCheck, TheFollowedGridMeasuresTheMovedViewTrue)
{
    std::mt19937 random(4711);
    double worstUnfollowed = 0.0;
    for (int view = 0; view < 20; ++view) {
        const SimulatedScene scene = randomView(random);
        const Grid grid = gridOf(scene);
        const SimulatedScene moved = bumped(scene, 5.0);
        const GridBuoyCheck check = checkGridBuoys(moved.render(kSize, 3.0, 3.0, 0), grid);
        ASSERT_TRUE(check.followed.has_value()) << "view " << view;
        const SurveyPoint landing = moved.landingSurvey();
        const double truth = std::hypot(landing.x - grid.jump.x, landing.y - grid.jump.y);
        const ScreenPoint seen = twips(moved.pictureOf(landing, kSize, 3.0));
        const auto distanceOn = [&](const GridTransform &t) {
            const SurveyPoint s = *ScreenToSurvey(t, seen);
            return std::hypot(s.x - grid.jump.x, s.y - grid.jump.y);
        };
        EXPECT_NEAR(distanceOn(*check.followed), truth, 0.02) << "view " << view;
        worstUnfollowed = std::max(worstUnfollowed, std::abs(distanceOn(grid.transform) - truth));
    }
    // What following saves: a five-pixel pan measured on the old grid is off by far more.
    EXPECT_GT(worstUnfollowed, 0.1);
    std::cout << "largest error without following: " << worstUnfollowed << " m\n";
}

TEST(GridBuoyCheck, BuoysThatCannotBeFoundAreNamedAndNothingIsFollowed)
{
    const SimulatedScene scene;
    Grid grid = gridOf(scene);
    grid.checkBuoyScreen = {};
    QImage empty(kSize, QImage::Format_RGB32);
    empty.fill(QColor(30, 60, 90));
    const GridBuoyCheck check = checkGridBuoys(empty, grid);
    EXPECT_EQ(check.foundCount, 0);
    EXPECT_FALSE(check.followed.has_value());
    EXPECT_FALSE(check.moved);
    EXPECT_EQ(check.buoys[0].name, QStringLiteral("upper_left"));
    EXPECT_EQ(check.buoys[0].find.reason, QStringLiteral("no buoy within 12 px"));
    EXPECT_EQ(check.buoys[4].find.reason, QStringLiteral("the grid has no check buoy"));
}

} // namespace
} // namespace skelvin
