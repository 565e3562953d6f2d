#include "core/simulation/SimulatedScene.h"
#include "core/vision/BuoyFinder.h"
#include "support/SceneViews.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <random>
#include <vector>

namespace skelvin {
namespace {

constexpr double kBuoyDiameterMetres = 0.45;

TEST(BuoyFinder, FindsEveryBuoyOfManySimulatedViewsToAFifthOfAPixel)
{
    std::mt19937 random(2026);
    // Mostly the sizes tournament cameras record at; every sixth view at full HD.
    const QSize sizes[] = {{1280, 720}, {640, 480}, {1280, 720}, {1920, 1080}, {640, 480}, {1280, 720}};
    int buoys = 0;
    int close = 0;
    double worst = 0.0;
    std::map<QString, int> reasons;
    const int views = testing::manyViews(300);
    for (int view = 0; view < views; ++view) {
        SimulatedScene scene = testing::randomSiteView(random);
        testing::randomDay(scene, random);
        // A tower swaying in the wind, caught anywhere in its swing.
        scene.camera().swayDegrees = testing::between(random, 0.0, 0.3);
        scene.camera().swayPeriodSeconds = testing::between(random, 4.0, 12.0);
        const double seconds = testing::between(random, 0.0, 60.0);
        const QSize size = sizes[view % 6];
        const SceneCourse &c = scene.course();
        const QImage picture = scene.render(size, seconds, std::nullopt, view);
        for (const SurveyPoint &p :
             {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
            const QPointF truth = scene.pictureOf(p, size, seconds);
            if (!(truth.x() > 20 && truth.y() > 20 && truth.x() < size.width() - 20 &&
                  truth.y() < size.height() - 20))
                continue;
            const double across =
                kBuoyDiameterMetres * scene.pinholeAt(seconds).pixelsPerMetreAt({p.x, p.y, 0.0}, size);
            const double angle = std::uniform_real_distribution<double>(0.0, 2 * M_PI)(random);
            const double off = std::uniform_real_distribution<double>(0.0, 3.0)(random);
            BuoySearch search;
            search.near = truth + QPointF(off * std::cos(angle), off * std::sin(angle));
            search.expectedDiameterPx = std::max(6.0, across);
            search.searchRadiusPx = 8.0;
            const BuoyFind find = findBuoy(picture, search);
            ++buoys;
            if (!find.found) {
                ++reasons[find.reason];
                continue;
            }
            const double error = std::hypot(find.centre.x() - truth.x(), find.centre.y() - truth.y());
            worst = std::max(worst, error);
            EXPECT_LE(error, 1.0) << "view " << view << " at " << truth.x() << "," << truth.y();
            if (error <= 0.2)
                ++close;
        }
    }
    std::cout << close << " of " << buoys << " buoys found within 0.2 px, the worst found "
              << worst << " px out; not found:";
    for (const auto &[reason, count] : reasons)
        std::cout << " " << reason.toStdString() << " x" << count;
    std::cout << "\n";
    ASSERT_GT(buoys, 3.3 * views);
    EXPECT_GE(close, 0.99 * buoys) << close << " of " << buoys << ", worst " << worst << " px, not found: " << [&] {
               std::string all;
               for (const auto &[reason, count] : reasons)
                   all += reason.toStdString() + " x" + std::to_string(count) + "; ";
               return all;
           }();
}

// Pictures drawn for the purpose: dark water with discs where the case wants them.
QImage water(QSize size = {200, 150})
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(30, 60, 90));
    return picture;
}

void disc(QImage &picture, QPointF centre, double diameter, QColor colour)
{
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    // Painter coordinates put the centre of pixel i at i + 0.5.
    painter.drawEllipse(centre + QPointF(0.5, 0.5), diameter / 2, diameter / 2);
}

TEST(BuoyFinder, SaysWhyWhenItCannotBeSure)
{
    BuoySearch search;
    search.expectedDiameterPx = 10.0;
    search.searchRadiusPx = 10.0;

    QImage white = water();
    disc(white, {100.3, 70.6}, 10.0, Qt::white);
    search.near = {103, 72};
    BuoyFind find = findBuoy(white, search);
    ASSERT_TRUE(find.found) << find.reason.toStdString();
    EXPECT_NEAR(find.centre.x(), 100.3, 0.1);
    EXPECT_NEAR(find.centre.y(), 70.6, 0.1);
    EXPECT_NEAR(find.diameterPx, 10.0, 1.0);
    EXPECT_GT(find.confidence, 0.5);

    search.near = {150, 30};
    find = findBuoy(white, search);
    EXPECT_FALSE(find.found);
    EXPECT_EQ(find.reason, QStringLiteral("no buoy within 10 px"));

    QImage two = water();
    disc(two, {95, 70}, 8.0, QColor(255, 120, 0));
    disc(two, {108, 70}, 8.0, QColor(255, 120, 0));
    search.near = {101, 70};
    find = findBuoy(two, search);
    EXPECT_FALSE(find.found);
    EXPECT_EQ(find.reason, QStringLiteral("two candidates"));

    QImage edge = water();
    disc(edge, {2, 70}, 10.0, QColor(255, 200, 0));
    search.near = {4, 70};
    find = findBuoy(edge, search);
    EXPECT_FALSE(find.found);
    EXPECT_EQ(find.reason, QStringLiteral("cut by the picture's edge"));

    // A streak of spray is no buoy, nor is a whole boat.
    QImage streak = water();
    QPainter(&streak).fillRect(QRectF(90, 69, 24, 3), Qt::white);
    search.near = {100, 70};
    EXPECT_FALSE(findBuoy(streak, search).found);
    QImage boat = water();
    QPainter(&boat).fillRect(QRectF(80, 55, 40, 30), Qt::white);
    EXPECT_FALSE(findBuoy(boat, search).found);

    EXPECT_FALSE(findBuoy(QImage(), search).found);
    search.near = {-100, -100};
    EXPECT_EQ(findBuoy(white, search).reason, QStringLiteral("the point is outside the picture"));
}

} // namespace
} // namespace skelvin
