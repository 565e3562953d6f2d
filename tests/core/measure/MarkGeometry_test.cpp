#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/measure/MarkGeometry.h"

#include <gtest/gtest.h>

using namespace skelvin;

namespace {

// One twip a centimetre; upper-right X larger than upper-left X, so the direction sign is -1.
GridStore straightDown(bool mirrored)
{
    GridStore grids;
    Grid &g = grids.active();
    const double flip = mirrored ? -1 : 1;
    g.corners[0] = {{10500, 1500}, {105 * flip, 15}};
    g.corners[1] = {{10500, 7500}, {105 * flip, 75}};
    g.corners[2] = {{1500, 1500}, {15 * flip, 15}};
    g.corners[3] = {{1500, 7500}, {15 * flip, 75}};
    g.transform = *SolveGridTransform(g.corners);
    grids.setActiveJump({15 * flip, 45});
    grids.updateDirectionSign();
    return grids;
}

} // namespace

TEST(MarkGeometry, SplashMovesByTheCorrectionInTheJumpDirection)
{
    const GridStore grids = straightDown(false);
    ASSERT_EQ(grids.directionSign(), -1);
    const ScreenPoint mark{6000, 4500};
    // Left to right: E minus correction x sign = E + 2.1 m, which is 210 twips to the right.
    EXPECT_NEAR(splashPoint(grids, TournamentType::Normal, false, mark)->x, 6210, 1e-6);
    EXPECT_NEAR(splashPoint(grids, TournamentType::Normal, true, mark)->x, 5790, 1e-6);
    EXPECT_NEAR(splashPoint(grids, TournamentType::SitSki, false, mark)->x, 6190, 1e-6);
    EXPECT_NEAR(splashPoint(grids, TournamentType::Barefoot, true, mark)->x, 6000, 1e-6);
    EXPECT_NEAR(splashPoint(grids, TournamentType::Normal, false, mark)->y, 4500, 1e-6);

    const GridStore mirrored = straightDown(true);
    ASSERT_EQ(mirrored.directionSign(), 1);
    EXPECT_NEAR(splashPoint(mirrored, TournamentType::Normal, false, mark)->x, 6210, 1e-6);
}

TEST(MarkGeometry, TextsBesideThePicture)
{
    const BuoyDistanceTexts texts = buoyDistanceTexts({15, 45}, {15, 15});
    EXPECT_EQ(texts.feet, QStringLiteral(" 98 feet"));
    EXPECT_EQ(texts.metres, QStringLiteral(" 30 meters"));
    EXPECT_EQ(buoyDistanceTexts({0, 0}, {3, 4.04}).metres, QStringLiteral(" 5 meters"));

    const GridStore grids = straightDown(false);
    const auto r = liveReadout(grids, TournamentType::Normal, {6000, 4500.9});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->xtwips, QStringLiteral(" 6000"));
    EXPECT_EQ(r->ytwips, QStringLiteral(" 4500"));
    EXPECT_EQ(r->xposition, QStringLiteral(" 60"));
    EXPECT_EQ(r->yposition, QStringLiteral(" 45.01"));
    EXPECT_EQ(r->verifyDistance, QStringLiteral(" 47.1m  154ft"));

    EXPECT_EQ(nextGrid(QStringLiteral("&Grid 1"), 2).caption, QStringLiteral("&Grid 2"));
    EXPECT_EQ(nextGrid(QStringLiteral("&Grid 2"), 2).grid, 1);
    EXPECT_EQ(nextGrid(QStringLiteral("&Grid 2"), 3).grid, 3);
    EXPECT_EQ(nextGrid(QStringLiteral("&Grid 3"), 3).caption, QStringLiteral("&Grid 1"));
    EXPECT_EQ(nextJumpNumber(QStringLiteral("3")), QStringLiteral(" 4"));
    EXPECT_EQ(nextJumpNumber(QStringLiteral("Jump")), QStringLiteral(" 1"));
}
