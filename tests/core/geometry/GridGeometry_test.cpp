#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"

#include <gtest/gtest.h>

using namespace skelvin;

namespace {

// A camera looking across a rectangular landing area: survey rectangle 0..40 m by 0..20 m
// seen under perspective (back narrower than the front).
GridTransform perspectiveTruth()
{
    GridTransform t;
    t.c = {-12.0, 0.004, 0.0002, 0.00002, 0.00004, -3.0, 0.00012, 0.0031};
    return t;
}

std::array<CornerBuoy, CornerCount> cornersFor(const GridTransform &t)
{
    const ScreenPoint screen[4] = {{10200, 1600}, {11600, 8100}, {1900, 1500}, {400, 8200}};
    std::array<CornerBuoy, CornerCount> corners{};
    for (int i = 0; i < 4; ++i) {
        corners[static_cast<size_t>(i)].screen = screen[i];
        corners[static_cast<size_t>(i)].survey = *ScreenToSurvey(t, screen[i]);
    }
    return corners;
}

} // namespace

TEST(GridTransform, SolvedPerspectiveMapsCornersBackAndInvertsExactly)
{
    const auto corners = cornersFor(perspectiveTruth());
    const auto t = SolveGridTransform(corners);
    ASSERT_TRUE(t.has_value());
    for (int i = 1; i <= 8; ++i)
        EXPECT_NEAR((*t)(i), perspectiveTruth()(i), std::abs(perspectiveTruth()(i)) * 1e-9) << "c" << i;
    for (const CornerBuoy &c : corners) {
        const SurveyPoint s = *ScreenToSurvey(*t, c.screen);
        EXPECT_NEAR(s.x, c.survey.x, 1e-9);
        EXPECT_NEAR(s.y, c.survey.y, 1e-9);
    }
    for (const ScreenPoint p : {ScreenPoint{6000, 4000}, ScreenPoint{0, 0}, ScreenPoint{11999, 8999}}) {
        const ScreenPoint back = *SurveyToScreen(*t, *ScreenToSurvey(*t, p));
        EXPECT_NEAR(back.x, p.x, 1e-6);
        EXPECT_NEAR(back.y, p.y, 1e-6);
    }
}

TEST(GridTransform, ScaleAndOffsetViewHasNoPerspectiveTerms)
{
    std::array<CornerBuoy, CornerCount> corners{};
    const ScreenPoint screen[4] = {{11000, 1000}, {11000, 8000}, {1000, 1000}, {1000, 8000}};
    for (int i = 0; i < 4; ++i) {
        corners[static_cast<size_t>(i)] = {screen[i], {screen[i].x * 0.005 + 3, screen[i].y * 0.005 - 7}};
    }
    const auto t = SolveGridTransform(corners);
    ASSERT_TRUE(t.has_value());
    EXPECT_NEAR((*t)(4), 0.0, 1e-15);
    EXPECT_NEAR((*t)(5), 0.0, 1e-15);
    EXPECT_NEAR((*t)(2), 0.005, 1e-15);
}

TEST(GridTransform, DegenerateCornersHaveNoUniqueSolution)
{
    auto corners = cornersFor(perspectiveTruth());
    for (CornerBuoy &c : corners)
        c.screen.x = 0; // column 2 is all zero from row 2 down
    EXPECT_FALSE(SolveGridTransform(corners).has_value());
    EXPECT_EQ(kNoUniqueSolutionText, QStringLiteral("No Unique Solution - Re-enter data"));

    std::array<CornerBuoy, CornerCount> empty{};
    EXPECT_FALSE(SolveGridTransform(empty).has_value());
}

TEST(GridTransform, TinyPivotsAreStillPivots)
{
    // Corners 1 and 2 at screen x of about 1e-300: after the first column, the candidate
    // pivots in column 2 are tiny but not zero. There is no tolerance, so the solve goes on.
    auto corners = cornersFor(perspectiveTruth());
    corners[0].screen = {1e-300, 1600};
    corners[1].screen = {1e-300 + 1e-310, 8100};
    corners[0].survey = *ScreenToSurvey(perspectiveTruth(), corners[0].screen);
    corners[1].survey = *ScreenToSurvey(perspectiveTruth(), corners[1].screen);
    const auto t = SolveGridTransform(corners);
    // The solve does not fail: no tolerance is applied to a tiny pivot.
    ASSERT_TRUE(t.has_value());
}

TEST(GridTransform, PointsOnTheVanishingLineHaveNoImage)
{
    GridTransform t = perspectiveTruth();
    // w = 1 + c4 x + c5 y = 0 at y = -(1 + c4 x) / c5.
    const double x = 1000;
    const double y = -(1 + t(4) * x) / t(5);
    EXPECT_FALSE(ScreenToSurvey(t, {x, y}).has_value());
    GridTransform zero;
    EXPECT_FALSE(SurveyToScreen(zero, {1, 2}).has_value());
}

TEST(JumpDistance, CorrectionDependsOnTheTournamentOnly)
{
    GridStore grids;
    grids.active().corners = cornersFor(perspectiveTruth());
    grids.active().transform = *SolveGridTransform(grids.active().corners);
    const ScreenPoint at{5000, 4000};
    const SurveyPoint mapped = *ScreenToSurvey(grids.active().transform, at);

    grids.setActiveJump(mapped);
    EXPECT_NEAR(distance_calculation(grids, TournamentType::Normal, at)->distanceMetres, 2.1, 1e-12);
    EXPECT_NEAR(distance_calculation(grids, TournamentType::SitSki, at)->distanceMetres, 1.9, 1e-12);
    EXPECT_EQ(distance_calculation(grids, TournamentType::Barefoot, at)->distanceMetres, 0.0);

    grids.setActiveJump({mapped.x - 30, mapped.y + 40}); // 50 m away
    const auto normal = *distance_calculation(grids, TournamentType::Normal, at);
    const auto sitski = *distance_calculation(grids, TournamentType::SitSki, at);
    const auto barefoot = *distance_calculation(grids, TournamentType::Barefoot, at);
    EXPECT_NEAR(normal.distanceMetres, 52.1, 1e-9);
    EXPECT_NEAR(normal.distanceMetres - sitski.distanceMetres, 0.2, 1e-12);
    EXPECT_NEAR(normal.distanceMetres - barefoot.distanceMetres, 2.1, 1e-12);
    EXPECT_EQ(normal.survey.x, barefoot.survey.x);
    EXPECT_EQ(normal.survey.y, sitski.survey.y);
}

TEST(JumpDistance, OfficialTextsRoundAsRecorded)
{
    EXPECT_EQ(officialDistance(45.05, TournamentType::Normal).metres, 45.1);
    EXPECT_EQ(officialDistance(45.04, TournamentType::Normal).metres, 45.0);
    EXPECT_EQ(officialDistance(45.0, TournamentType::Normal).feet, 148.0);
    EXPECT_EQ(officialDistance(45.0, TournamentType::Barefoot).feet, 147.6);
    EXPECT_EQ(officialDistance(45.0, TournamentType::SitSki).feet, 147.6);
    EXPECT_EQ(officialDistance(45.1, TournamentType::Normal).feet, 148.0);
    EXPECT_EQ(officialDistance(45.1, TournamentType::Barefoot).feet, 148.0);
}

TEST(GridStore, ReadinessDirectionAndActiveCopies)
{
    GridStore grids;
    grids.setGridCount(7);
    EXPECT_EQ(grids.gridCount(), 1);
    grids.setGridCount(2);
    grids.setGridLoaded(1, true);
    EXPECT_EQ(grids.updateAllGridsReady(), 0);
    EXPECT_FALSE(grids.allGridsReady());
    grids.setGridLoaded(2, true);
    EXPECT_EQ(grids.updateAllGridsReady(), 2);
    EXPECT_TRUE(grids.allGridsReady());
    grids.setGridLoaded(2, false);
    grids.updateAllGridsReady(); // the rule only ever sets it
    EXPECT_TRUE(grids.allGridsReady());

    grids.active().corner(Corner::UpperRight).survey.x = 5;
    grids.active().corner(Corner::UpperLeft).survey.x = 5;
    grids.updateDirectionSign();
    EXPECT_EQ(grids.directionSign(), -1);
    grids.active().corner(Corner::UpperRight).survey.x = 4;
    grids.updateDirectionSign();
    EXPECT_EQ(grids.directionSign(), 1);

    grids.setActiveJump({1, 2});
    grids.active().description = QStringLiteral("two");
    grids.storeActiveGrid(2);
    grids.setActiveJump({9, 9});
    grids.selectActiveGrid(2);
    EXPECT_EQ(grids.currentGrid(), 2);
    EXPECT_EQ(grids.active().description, QStringLiteral("two"));
    EXPECT_EQ(grids.distanceJump().x, 1.0);
    EXPECT_EQ(grids.active().jump.y, 2.0);
}
