#include "core/simulation/SimulatedScene.h"
#include "support/TestDirs.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;

namespace {

const QSize k720p(1280, 720);

bool isBuoyOrange(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 170 && qBlue(c) < 90 && qRed(c) > qGreen(c) + 60;
}

// The centre of the orange pixels around `at`, or nothing when none are there.
std::optional<QPointF> orangeCentre(const QImage &picture, QPointF at)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = int(at.y()) - 14; y <= int(at.y()) + 14; ++y)
        for (int x = int(at.x()) - 14; x <= int(at.x()) + 14; ++x)
            if (picture.rect().contains(x, y) && isBuoyOrange(picture.pixel(x, y))) {
                sx += x;
                sy += y;
                ++n;
            }
    if (n == 0)
        return std::nullopt;
    return QPointF(sx / n, sy / n);
}

double meanGrey(const QImage &picture, QRect area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qGray(picture.pixel(x, y));
    return sum / (area.width() * area.height());
}

int whitePixels(const QImage &picture, QRect area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = picture.pixel(x, y);
            count += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
        }
    return count;
}

// The near water, below the buoys and clear of the ramp, the skier and the splash.
const QRect kNearWater(400, 560, 500, 120);

} // namespace

// A swaying, drifting and bumped camera: the buoys are drawn where the truth of that moment has
// them, the turn counts from the recording's start, and the camera stands as set up at first.
TEST(SceneWeather, AMovingCameraDrawsEveryBuoyWhereTheTruthOfThatMomentIs)
{
    SimulatedScene scene;
    SceneCamera &camera = scene.camera();
    camera.swayDegrees = 0.2;
    camera.swayPeriodSeconds = 6.0;
    camera.driftDegreesPerMinute = 0.6;
    camera.bumpPanDegrees = 0.1;
    camera.bumpTiltDegrees = -0.05;
    camera.bumpSeconds = 1.5;

    const CameraTurn start = scene.turnAt(0.0);
    EXPECT_EQ(start.panDegrees, 0.0);
    EXPECT_EQ(start.tiltDegrees, 0.0);
    const CameraTurn before = scene.turnAt(1.499), after = scene.turnAt(1.5);
    EXPECT_NEAR(after.panDegrees - before.panDegrees, 0.1, 0.001);
    EXPECT_NEAR(after.tiltDegrees - before.tiltDegrees, -0.05, 0.001);
    EXPECT_NEAR(scene.turnAt(60.0).panDegrees, 0.6 + 0.1, 1e-9); // whole sways, a minute's drift

    // Panning right moves what the camera sees to the left; tilting up moves it down.
    SimulatedScene panned;
    panned.camera().bumpPanDegrees = 0.2;
    panned.camera().bumpTiltDegrees = 0.1;
    panned.camera().bumpSeconds = 0.0;
    const QPointF setUp = panned.pictureOf(panned.course().checkBuoy, k720p);
    const QPointF moved = panned.pictureOf(panned.course().checkBuoy, k720p, 0.5);
    EXPECT_LT(moved.x(), setUp.x() - 5.0);
    EXPECT_GT(moved.y(), setUp.y() + 2.0);

    const SceneCourse &c = scene.course();
    // (After 6 s the skier has ridden out of the view and hides no buoy.)
    for (double t : {0.0, 0.7, 1.45, 1.6, 6.5}) {
        // A recording's picture: the camera's turn counts from the jump, not from the start.
        const QImage picture = scene.render(k720p, 100.0 + t, t, 0);
        for (SurveyPoint p : {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
            const QPointF truth = scene.pictureOf(p, k720p, t);
            const std::optional<QPointF> drawn = orangeCentre(picture, truth);
            ASSERT_TRUE(drawn.has_value()) << "at " << t << " s";
            EXPECT_NEAR(drawn->x(), truth.x(), 0.3) << "at " << t << " s";
            EXPECT_NEAR(drawn->y(), truth.y(), 0.3) << "at " << t << " s";
        }
    }
}

TEST(SceneWeather, TheLightOfTheDayDimsAndGrainsThePictureTheSameForTheSameMoment)
{
    const SimulatedScene usual;
    SimulatedScene dull;
    dull.light().brightness = 0.6;
    SimulatedScene grainy;
    grainy.light().noise = 5.0;

    const QImage a = usual.render(k720p, 2.0, std::nullopt, 0);
    EXPECT_NEAR(meanGrey(dull.render(k720p, 2.0, std::nullopt, 0), kNearWater),
                0.6 * meanGrey(a, kNearWater), 1.0);

    const QImage noisy = grainy.render(k720p, 2.0, std::nullopt, 0);
    double sum = 0, squares = 0;
    int n = 0;
    for (int y = kNearWater.top(); y <= kNearWater.bottom(); ++y)
        for (int x = kNearWater.left(); x <= kNearWater.right(); ++x) {
            const double d = qGreen(noisy.pixel(x, y)) - qGreen(a.pixel(x, y));
            sum += d;
            squares += d * d;
            ++n;
        }
    EXPECT_NEAR(sum / n, 0.0, 0.2);
    EXPECT_NEAR(std::sqrt(squares / n), 5.0, 0.3);
    // The same moment draws the same grain; the next frame draws another.
    EXPECT_EQ(grainy.render(k720p, 2.0, std::nullopt, 0), noisy);
    EXPECT_NE(grainy.render(k720p, 2.0 + 1.0 / 30, std::nullopt, 0), noisy);
}

TEST(SceneWeather, GlintsWhitecapsAndWavesChangeOnlyTheWater)
{
    const SimulatedScene usual;
    SimulatedScene sunny;
    sunny.light().glints = 1.0;
    SimulatedScene windy;
    windy.water().whitecaps = 0.5;
    windy.water().waves = 2.0;
    SimulatedScene calm;
    calm.water().waves = 0.0;

    const QImage plain = usual.render(k720p, 2.0, std::nullopt, 0);
    const QImage glinting = sunny.render(k720p, 2.0, std::nullopt, 0);
    const QImage capped = windy.render(k720p, 2.0, std::nullopt, 0);
    EXPECT_EQ(whitePixels(plain, kNearWater), 0);
    EXPECT_GT(whitePixels(glinting, kNearWater), 50);
    EXPECT_GT(whitePixels(capped, kNearWater), 200);
    // Glints and whitecaps lie on the water under the buoys, which stay as they were.
    const SceneCourse &c = usual.course();
    for (SurveyPoint p : {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.checkBuoy}) {
        const QPointF at = usual.pictureOf(p, k720p);
        const QRect buoy(int(at.x()) - 2, int(at.y()) - 2, 5, 5);
        EXPECT_EQ(plain.copy(buoy), glinting.copy(buoy));
        EXPECT_EQ(plain.copy(buoy), capped.copy(buoy));
    }
    // Glassy water stands still from frame to frame.
    EXPECT_EQ(calm.render(k720p, 1.0, std::nullopt, 0).copy(kNearWater),
              calm.render(k720p, 1.3, std::nullopt, 0).copy(kNearWater));
}

// The splash grows with its size; a pass without a jump throws none anywhere along its way,
// though the skier rides through the view.
TEST(SceneWeather, TheSplashHasItsSizeAndAPassWithoutAJumpMakesNone)
{
    SimulatedScene small, large, pass;
    small.landing().splash = 0.5;
    large.landing().splash = 2.0;
    pass.landing().jump = false;
    const QPointF at = small.pictureOf(small.landingSurvey(), k720p);
    const QRect around(int(at.x()) - 60, int(at.y()) - 60, 121, 121);
    const double t = small.landingSeconds() + 0.4;
    EXPECT_GT(whitePixels(large.render(k720p, t, t, 0), around),
              2 * whitePixels(small.render(k720p, t, t, 0), around));

    const QRect water(0, 300, 1280, 420);
    bool skierSeen = false;
    for (double s = 0.0; s < 6.0; s += 0.25) {
        const QImage picture = pass.render(k720p, s, s, 0);
        EXPECT_EQ(whitePixels(picture, water), 0) << "at " << s << " s";
        const QImage empty = pass.render(k720p, s, std::nullopt, 0);
        skierSeen = skierSeen || picture.copy(water) != empty.copy(water);
    }
    EXPECT_TRUE(skierSeen);
}

TEST(SceneWeather, TheSceneFileSetsTheWeatherAndTellsNonsense)
{
    test::TestDirs dirs;
    const QString path = dirs.writeFile(QStringLiteral("weather.ini"), "[camera]\n"
                                                                       "sway_deg=0.2\n"
                                                                       "sway_period_s=7\n"
                                                                       "bump_pan_deg=-0.3\n"
                                                                       "bump_seconds=2.5\n"
                                                                       "[light]\n"
                                                                       "brightness=0.7\n"
                                                                       "noise=4\n"
                                                                       "glints=2\n"
                                                                       "[water]\n"
                                                                       "whitecaps=0.25\n"
                                                                       "[landing]\n"
                                                                       "splash=1.5\n"
                                                                       "jump=maybe\n");
    Result<SimulatedScene> scene = SimulatedScene::load(path);
    ASSERT_TRUE(scene) << scene.error().toStdString();
    EXPECT_EQ(scene->camera().swayDegrees, 0.2);
    EXPECT_EQ(scene->camera().swayPeriodSeconds, 7.0);
    EXPECT_EQ(scene->camera().bumpPanDegrees, -0.3);
    EXPECT_EQ(scene->camera().bumpSeconds, 2.5);
    EXPECT_EQ(scene->light().brightness, 0.7);
    EXPECT_EQ(scene->light().noise, 4.0);
    EXPECT_EQ(scene->light().glints, 0.0);
    EXPECT_EQ(scene->water().whitecaps, 0.25);
    EXPECT_EQ(scene->water().waves, 1.0);
    EXPECT_EQ(scene->landing().splash, 1.5);
    EXPECT_TRUE(scene->landing().jump);
    const QString prefix = QStringLiteral("Scene file ") + path;
    QStringList warnings = scene->warnings();
    warnings.sort();
    EXPECT_EQ(warnings,
              QStringList({prefix + " line 14: landing/jump = \"maybe\" must be yes or no; the "
                                    "default yes is kept",
                           prefix + " line 9: light/glints = 2 must be from 0 to 1; the default 0 "
                                    "is kept"}));

    const QString pass = dirs.writeFile(QStringLiteral("pass.ini"), "[landing]\njump=No\n");
    scene = SimulatedScene::load(pass);
    ASSERT_TRUE(scene);
    EXPECT_FALSE(scene->landing().jump);
    EXPECT_TRUE(scene->warnings().isEmpty());
}
