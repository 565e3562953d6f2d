#include "core/geometry/GridTransformSolver.h"
#include "core/simulation/SimulatedScene.h"

#include <QColor>
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;

namespace {

const QSize k720p(1280, 720);

ScreenPoint twipsOf(const SimulatedScene &scene, SurveyPoint p, QSize size)
{
    const QPointF at = scene.pictureOf(p, size);
    return {at.x() * 15.0, at.y() * 15.0};
}

// The grid an operator builds by marking the four corners exactly where they show.
GridTransform solvedFromView(const SimulatedScene &scene, QSize size)
{
    const SceneCourse &c = scene.course();
    std::array<CornerBuoy, CornerCount> corners{};
    corners[size_t(Corner::UpperRight)] = {twipsOf(scene, c.upperRight, size), c.upperRight};
    corners[size_t(Corner::LowerRight)] = {twipsOf(scene, c.lowerRight, size), c.lowerRight};
    corners[size_t(Corner::UpperLeft)] = {twipsOf(scene, c.upperLeft, size), c.upperLeft};
    corners[size_t(Corner::LowerLeft)] = {twipsOf(scene, c.lowerLeft, size), c.lowerLeft};
    return *SolveGridTransform(corners);
}

bool isBuoyOrange(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 70 && qGreen(c) < 170 && qBlue(c) < 60;
}

bool isSpray(QRgb c)
{
    return qRed(c) > 215 && qGreen(c) > 215 && qBlue(c) > 215;
}

int sprayPixelsNear(const QImage &picture, QPointF at, int radius)
{
    int count = 0;
    for (int y = int(at.y()) - radius; y <= int(at.y()) + radius; ++y)
        for (int x = int(at.x()) - radius; x <= int(at.x()) + radius; ++x)
            if (picture.rect().contains(x, y) && isSpray(picture.pixel(x, y)))
                ++count;
    return count;
}

} // namespace

TEST(SimulatedScene, TheWaterMapsToThePictureByTheExactProjectiveTransform)
{
    SimulatedScene moved;
    moved.camera().position = {-30.0, 70.0};
    moved.camera().heightMetres = 14.0;
    moved.camera().aim = {40.0, 2.0};
    moved.camera().horizontalFovDegrees = 70.0;
    moved.landing().point = {47.3, -2.6};

    for (const SimulatedScene &scene : {SimulatedScene(), moved}) {
        for (const QSize size : {k720p, QSize(1920, 1080), QSize(640, 480)}) {
            const GridTransform t = solvedFromView(scene, size);
            for (SurveyPoint p :
                 {scene.landingSurvey(), scene.course().checkBuoy, SurveyPoint{33.3, 4.4}}) {
                const auto back = ScreenToSurvey(t, twipsOf(scene, p, size));
                ASSERT_TRUE(back);
                EXPECT_NEAR(back->x, p.x, 1e-6);
                EXPECT_NEAR(back->y, p.y, 1e-6);
            }
        }
    }
}

TEST(SimulatedScene, LensDistortionBendsTheViewAwayFromTheTransform)
{
    SimulatedScene scene;
    scene.camera().k1 = -1.0; // a long lens sees little of the edge, where distortion grows
    const GridTransform t = solvedFromView(scene, k720p);
    const auto back = ScreenToSurvey(t, twipsOf(scene, scene.landingSurvey(), k720p));
    ASSERT_TRUE(back);
    EXPECT_GT(std::hypot(back->x - scene.landingSurvey().x, back->y - scene.landingSurvey().y),
              0.05);
}

TEST(SimulatedScene, DefaultViewMeasuresDowncourseToTheRightAndSeesEveryBuoy)
{
    const SimulatedScene scene;
    const SceneCourse &c = scene.course();
    const QPointF ul = scene.pictureOf(c.upperLeft, k720p),
                  ur = scene.pictureOf(c.upperRight, k720p);
    const QPointF ll = scene.pictureOf(c.lowerLeft, k720p),
                  lr = scene.pictureOf(c.lowerRight, k720p);
    EXPECT_LT(ul.x(), ur.x());
    EXPECT_LT(ll.x(), lr.x());
    EXPECT_LT(ul.y(), ll.y()); // upper buoys are the far ones
    for (QPointF p : {ul, ur, ll, lr, scene.pictureOf(c.checkBuoy, k720p),
                      scene.pictureOf(scene.landingSurvey(), k720p)})
        EXPECT_TRUE(QRectF(0, 0, 1280, 720).contains(p)) << p.x() << ", " << p.y();
    // Behind the camera there is no picture point.
    EXPECT_TRUE(std::isnan(scene.pictureOf(SurveyPoint{47.5, -150.0}, k720p).x()));
}

TEST(SimulatedScene, LandingFrameIsTheFirstFrameAtOrAfterContact)
{
    SimulatedScene scene;
    EXPECT_EQ(scene.landingFrame(30.0), 60);
    EXPECT_EQ(scene.landingFrame(25.0), 50);
    EXPECT_EQ(scene.landingFrame(60.0), 120);
    scene.landing().seconds = 1.99;
    EXPECT_EQ(scene.landingFrame(30.0), 60); // 59.7 frames: frame 59 is still in the air
    scene.landing().seconds = 2.01;
    EXPECT_EQ(scene.landingFrame(25.0), 51);
}

TEST(SimulatedScene, BuoysAreSolidOrangeDiscsCentredOnTheirPictureValues)
{
    const SimulatedScene scene;
    const QImage picture = scene.render(k720p, 0.7, std::nullopt, 5);
    const SceneCourse &c = scene.course();
    for (SurveyPoint p : {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
        const QPointF at = scene.pictureOf(p, k720p);
        double sx = 0, sy = 0;
        int n = 0, left = 9999, right = -1;
        for (int y = int(at.y()) - 12; y <= int(at.y()) + 12; ++y)
            for (int x = int(at.x()) - 12; x <= int(at.x()) + 12; ++x)
                if (isBuoyOrange(picture.pixel(x, y))) {
                    sx += x;
                    sy += y;
                    ++n;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GT(n, 0);
        EXPECT_GE(right - left + 1, 8);
        EXPECT_NEAR(sx / n, at.x(), 0.3);
        EXPECT_NEAR(sy / n, at.y(), 0.3);
    }
}

TEST(SimulatedScene, SplashAppearsAtTheLandingPointInTheLandingFrameAndNotBefore)
{
    const SimulatedScene scene;
    const double fps = 30.0;
    const int landing = scene.landingFrame(fps);
    const QPointF at = scene.pictureOf(scene.landingSurvey(), k720p);
    const QImage before = scene.render(k720p, 3.0, (landing - 1) / fps, landing - 1);
    const QImage contact = scene.render(k720p, 3.0, landing / fps, landing);
    const QImage later = scene.render(k720p, 3.0, landing / fps + 0.5, landing + 15);
    EXPECT_EQ(sprayPixelsNear(before, at, 6), 0);
    EXPECT_GT(sprayPixelsNear(contact, at, 6), 10);
    EXPECT_GT(sprayPixelsNear(later, at, 30), sprayPixelsNear(contact, at, 30)); // it grows
}

TEST(SimulatedScene, WaterIsTexturedAndMovesBetweenFrames)
{
    const SimulatedScene scene;
    const QImage a = scene.render(k720p, 1.0, std::nullopt, 0);
    const QImage b = scene.render(k720p, 1.2, std::nullopt, 0);
    // A near patch of water without buoys: many shades, and not the same a moment later.
    QSet<QRgb> shades;
    int changed = 0;
    for (int y = 600; y < 700; ++y)
        for (int x = 500; x < 700; ++x) {
            shades.insert(a.pixel(x, y));
            changed += a.pixel(x, y) != b.pixel(x, y);
        }
    EXPECT_GT(shades.size(), 200);
    EXPECT_GT(changed, 20000 / 2);
    // Both formats draw the same picture.
    const QImage packed = scene.render(k720p, 1.0, std::nullopt, 0, QImage::Format_RGB888);
    EXPECT_EQ(packed.convertToFormat(QImage::Format_RGB32), a);
}
