#include "support/TestDirs.h"
#include "support/ToolRunner.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin::test;

namespace {

// The simulated view and the grid an operator builds on it: every buoy is found on its mark
// and the camera is steady; the same view moved three pixels to the right is a moved camera,
// and a picture without buoys names each one it could not find.
TEST(BuoysTool, FindsTheGridsBuoysAndTellsAMovedCamera)
{
    TestDirs dirs;
    const QString grid = dirs.file(QStringLiteral("view.ipt"));
    const QString view = dirs.file(QStringLiteral("view.png"));
    const ToolRun scene = runTool({"scene", "--write-grid", grid, "--picture", view});
    ASSERT_EQ(scene.exitCode, 0) << scene.err.toStdString();

    const ToolRun steady = runTool({"buoys", view, grid});
    ASSERT_EQ(steady.exitCode, 0) << steady.err.toStdString();
    for (const char *name : {"upper_left", "upper_right", "lower_left", "lower_right", "check_buoy"}) {
        const QString key = QString::fromLatin1(name);
        EXPECT_NEAR(toolValue(steady.out, key + "_x").toDouble(),
                    toolValue(scene.out, key + "_x").toDouble(), 0.2)
            << name << "\n" << steady.out.toStdString();
        EXPECT_LT(toolValue(steady.out, key + "_shift_px").toDouble(), 0.6) << name;
    }
    EXPECT_EQ(toolValue(steady.out, "camera_moved"), QStringLiteral("no"));

    QImage moved(QImage(view).size(), QImage::Format_RGB32);
    moved.fill(Qt::black);
    QPainter(&moved).drawImage(3, 0, QImage(view));
    const QString movedView = dirs.file(QStringLiteral("moved.png"));
    ASSERT_TRUE(moved.save(movedView));
    const ToolRun bumped = runTool({"buoys", movedView, grid});
    ASSERT_EQ(bumped.exitCode, 0) << bumped.err.toStdString();
    EXPECT_EQ(toolValue(bumped.out, "camera_moved"), QStringLiteral("yes"));
    EXPECT_NEAR(toolValue(bumped.out, "shift_x_px").toDouble(), 3.0, 0.6);
    EXPECT_NE(toolValue(bumped.out, "distance_change_m"), QStringLiteral("<missing>"));

    QImage blank(moved.size(), QImage::Format_RGB32);
    blank.fill(QColor(30, 60, 90));
    const QString blankView = dirs.file(QStringLiteral("blank.png"));
    ASSERT_TRUE(blank.save(blankView));
    const ToolRun none = runTool({"buoys", blankView, grid});
    ASSERT_EQ(none.exitCode, 0);
    EXPECT_EQ(toolValue(none.out, "upper_left_found"), QStringLiteral("no"));
    EXPECT_EQ(toolValue(none.out, "upper_left_reason"), QStringLiteral("no buoy within 12 px"));
    EXPECT_EQ(toolValue(none.out, "camera_moved"), QStringLiteral("no"));

    // The landing where the moved view shows it, measured on the grid followed to that view.
    const QString x = QString::number((toolValue(scene.out, "landing_x").toDouble() + 3.0) * 15.0, 'g', 17);
    const QString y = QString::number(toolValue(scene.out, "landing_y").toDouble() * 15.0, 'g', 17);
    const double truth = toolValue(scene.out, "landing_distance_m").toDouble() + 2.1;
    const ToolRun followed = runTool({"measure", grid, x, y, "--follow", movedView});
    ASSERT_EQ(followed.exitCode, 0) << followed.err.toStdString();
    EXPECT_EQ(toolValue(followed.out, "followed"), QStringLiteral("yes"));
    EXPECT_NEAR(toolValue(followed.out, "distance_m").toDouble(), truth, 0.02);
    const ToolRun unfollowed = runTool({"measure", grid, x, y});
    EXPECT_GT(std::abs(toolValue(unfollowed.out, "distance_m").toDouble() - truth), 0.05);
    const ToolRun refused = runTool({"measure", grid, x, y, "--follow", blankView});
    EXPECT_EQ(toolValue(refused.out, "followed"), QStringLiteral("no"));
    EXPECT_EQ(toolValue(refused.out, "followed_reason"),
              QStringLiteral("not found: upper_left, upper_right, lower_left, lower_right"));

    EXPECT_EQ(runTool({"buoys", dirs.file(QStringLiteral("missing.png")), grid}).exitCode, 2);
    EXPECT_EQ(runTool({"buoys", view}).exitCode, 1);
}

} // namespace
