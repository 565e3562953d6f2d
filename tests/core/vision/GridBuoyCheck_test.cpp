#include "core/simulation/SimulatedScene.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/vision/GridBuoyCheck.h"
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

// The camera panned by as much as moves the picture's centre `pixels` to the side.
SimulatedScene panned(SimulatedScene scene, double pixels)
{
    SceneCamera &camera = scene.camera();
    const double focal = kSize.width() / 2.0 / std::tan(camera.horizontalFovDegrees * M_PI / 360.0);
    const double angle = pixels / focal;
    const double dx = camera.aim.x - camera.position.x;
    const double dy = camera.aim.y - camera.position.y;
    camera.aim = {camera.position.x + dx * std::cos(angle) - dy * std::sin(angle),
                  camera.position.y + dx * std::sin(angle) + dy * std::cos(angle)};
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

// A view an operator can build a grid on: every buoy well inside the picture.
SimulatedScene randomView(std::mt19937 &random)
{
    auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (;;) {
        SimulatedScene scene;
        scene.camera().position = {between(38.0, 57.0), between(-150.0, -110.0)};
        scene.camera().heightMetres = between(14.0, 24.0);
        scene.camera().aim = {between(44.0, 51.0), between(-3.0, 3.0)};
        scene.camera().horizontalFovDegrees = between(25.0, 31.0);
        if (wellInside(scene))
            return scene;
    }
}

// A steady camera is never taken for a moved one, whatever the waves do; a bump of one, two or
// five pixels always is.
TEST(GridBuoyCheck, ASteadyCameraIsNeverFlaggedAndABumpAlwaysIs)
{
    std::mt19937 random(909);
    for (int view = 0; view < 40; ++view) {
        const SimulatedScene scene = randomView(random);
        const Grid grid = gridOf(scene);
        const double seconds = std::uniform_real_distribution<double>(0.0, 60.0)(random);
        const GridBuoyCheck steady = checkGridBuoys(scene.render(kSize, seconds, std::nullopt, 0), grid);
        EXPECT_EQ(steady.foundCount, 5) << "view " << view;
        EXPECT_FALSE(steady.moved) << "view " << view << ": " << steady.meanShiftLength << " px";
        ASSERT_TRUE(steady.distanceChangeMetres.has_value());
        EXPECT_LT(std::abs(*steady.distanceChangeMetres), 0.01);

        for (double bump : {1.0, 2.0, 5.0}) {
            const SimulatedScene moved = panned(scene, view % 2 ? bump : -bump);
            const GridBuoyCheck check =
                checkGridBuoys(moved.render(kSize, seconds, std::nullopt, 0), grid);
            EXPECT_TRUE(check.moved) << "view " << view << ", bump " << bump;
            EXPECT_NEAR(std::abs(check.meanShift.x()), bump, 0.35 * bump) << "view " << view;
        }
    }
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
        const SimulatedScene moved = panned(scene, 5.0);
        const GridBuoyCheck check = checkGridBuoys(moved.render(kSize, 3.0, std::nullopt, 0), grid);
        ASSERT_TRUE(check.followed.has_value()) << "view " << view;
        const SurveyPoint landing = moved.landingSurvey();
        const double truth = std::hypot(landing.x - grid.jump.x, landing.y - grid.jump.y);
        const ScreenPoint seen = twips(moved.pictureOf(landing, kSize));
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
