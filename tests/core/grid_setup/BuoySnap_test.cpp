#include "core/grid_setup/BuoySnap.h"
#include "core/simulation/SimulatedScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace skelvin {
namespace {

// A click a few pixels beside a buoy lands on its centre; one on open water stays where it was.
TEST(BuoySnap, AClickNearABuoyLandsOnItsCentreAndOneOnWaterStays)
{
    const SimulatedScene scene;
    const QSize size(1280, 720);
    const QImage picture = scene.render(size, 2.0, std::nullopt, 0);
    const SceneCourse &c = scene.course();
    for (const SurveyPoint &p : {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
        const QPointF truth = scene.pictureOf(p, size);
        const BuoySnap snap = snapToBuoy(picture, {(truth.x() + 3.0) * 15.0, (truth.y() - 2.0) * 15.0});
        ASSERT_TRUE(snap.find.found) << snap.status.toStdString();
        EXPECT_NEAR(snap.point.x / 15.0, truth.x(), 0.2);
        EXPECT_NEAR(snap.point.y / 15.0, truth.y(), 0.2);
        EXPECT_TRUE(snap.status.startsWith(QStringLiteral("Buoy found, centre moved 3.")))
            << snap.status.toStdString();
    }
    const ScreenPoint water{640 * 15.0, 650 * 15.0};
    const BuoySnap none = snapToBuoy(picture, water);
    EXPECT_FALSE(none.find.found);
    EXPECT_EQ(none.point.x, water.x);
    EXPECT_EQ(none.point.y, water.y);
    EXPECT_EQ(none.status, QStringLiteral("No buoy found near the click: marked where clicked"));
}

} // namespace
} // namespace skelvin
