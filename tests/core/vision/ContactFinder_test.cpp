#include "core/simulation/SimulatedScene.h"
#include "core/vision/ContactFinder.h"
#include "support/SceneViews.h"
#include "support/TestGrids.h"

#include <QLineF>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iostream>
#include <random>
#include <thread>
#include <vector>

namespace skelvin {
namespace {

const QSize kSize(1280, 720);
constexpr double kFps = 30.0;

using testing::between;

// A jump on a day of any light and water, seen by a tower that sways a little: the landing
// 25 to 70 m downcourse after 1.5 to 2.5 s of flight, with a splash of half to twice the usual.
SimulatedScene randomJump(std::mt19937 &random, bool jump)
{
    SimulatedScene scene;
    SceneCamera &camera = scene.camera();
    camera.position = {between(random, 42.0, 53.0), between(random, -145.0, -120.0)};
    camera.heightMetres = between(random, 16.0, 24.0);
    camera.aim = {between(random, 46.0, 49.0), between(random, -2.0, 2.0)};
    camera.horizontalFovDegrees = between(random, 27.0, 30.0);
    camera.swayDegrees = between(random, 0.0, 0.25);
    camera.swayPeriodSeconds = between(random, 4.0, 10.0);
    camera.driftDegreesPerMinute = between(random, -0.5, 0.5);
    SceneLight &light = scene.light();
    light.brightness = between(random, 0.6, 1.3);
    light.noise = between(random, 0.0, 5.0);
    light.glints = between(random, 0.0, 0.6);
    SceneWater &water = scene.water();
    water.waves = between(random, 0.3, 1.5);
    water.whitecaps = between(random, 0.0, 0.3);
    SceneLanding &landing = scene.landing();
    landing.point = {between(random, 25.0, 70.0), between(random, -5.0, 5.0)};
    landing.seconds = between(random, 1.5, 2.5);
    landing.splash = between(random, 0.5, 2.0);
    landing.jump = jump;
    return scene;
}

// Standard normal numbers, drawn once; a frame's noise is read from a place of its own.
const std::vector<float> &normals()
{
    static const std::vector<float> table = [] {
        std::mt19937 random(99);
        std::normal_distribution<float> normal(0.0f, 1.0f);
        std::vector<float> values(1 << 20);
        for (float &v : values)
            v = normal(random);
        return values;
    }();
    return table;
}

// The light of the scene's day over the rows from `top` to `bottom`: every channel scaled by
// the brightness, then the sensor's noise. Drawn here on the rows around the landing area
// only, where the finder looks (over the whole picture it would only make the test slow).
void lightRows(QImage &picture, const SceneLight &light, int top, int bottom, int frame)
{
    const std::vector<float> &normal = normals();
    size_t at = static_cast<size_t>(frame) * 7919u * 131u;
    for (int y = std::max(0, top); y <= std::min(bottom, picture.height() - 1); ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                uchar &value = row[x * 4 + c];
                const double lit = value * light.brightness + light.noise * normal[at++ & 0xFFFFF];
                value = static_cast<uchar>(std::clamp(std::lround(lit), 0L, 255L));
            }
        }
    }
}

// The frames a camera records of the jump: frame k shows the moment k / fps after the skier
// leaves the ramp, up to 0.6 s after the landing.
std::vector<QImage> recordingOf(const SimulatedScene &scene, QSize size = kSize)
{
    // The scene is drawn in the usual light, and the day's light laid on the landing area's
    // rows afterwards.
    SimulatedScene drawn = scene;
    drawn.light().brightness = 1.0;
    drawn.light().noise = 0.0;
    const SceneCourse &c = scene.course();
    const double top = std::min(scene.pictureOf(c.upperLeft, size).y(),
                                scene.pictureOf(c.upperRight, size).y());
    const double bottom = std::max(scene.pictureOf(c.lowerLeft, size).y(),
                                   scene.pictureOf(c.lowerRight, size).y());
    const int frames = static_cast<int>(std::ceil((scene.landingSeconds() + 0.6) * kFps));
    std::vector<QImage> recording;
    for (int k = 0; k < frames; ++k) {
        recording.push_back(drawn.render(size, k / kFps, k / kFps, k));
        lightRows(recording.back(), scene.light(), int(top) - 60, int(bottom) + 30, k);
    }
    return recording;
}

// Each scene's recording searched, two at a time.
std::vector<ContactFind> searchAll(const std::vector<SimulatedScene> &scenes)
{
    std::vector<ContactFind> finds(scenes.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < scenes.size(); i = next++)
            finds[i] = findContact(recordingOf(scenes[i]), test::gridOfScene(scenes[i], kSize));
    };
    std::thread other(work);
    work();
    other.join();
    return finds;
}

QPointF trueContactPoint(const SimulatedScene &scene, QSize size = kSize)
{
    return scene.pictureOf(scene.landingSurvey(), size, scene.landingSeconds());
}

// Over a hundred jumps of every kind the suggestion is the true frame of first
// contact for most, within a frame for nearly all, and its point within 3 px of the truth.
TEST(ContactFinder, FindsTheFirstContactOfVariedJumps)
{
    std::mt19937 random(2512);
    const int jumps = testing::manyViews(100);
    std::vector<SimulatedScene> scenes;
    for (int i = 0; i < jumps; ++i)
        scenes.push_back(randomJump(random, true));
    const std::vector<ContactFind> finds = searchAll(scenes);
    int exact = 0, withinOne = 0, near = 0, missed = 0;
    double worstPixels = 0.0;
    for (int i = 0; i < jumps; ++i) {
        const SimulatedScene &scene = scenes[size_t(i)];
        const ContactFind &find = finds[size_t(i)];
        const int truth = scene.landingFrame(kFps);
        const QPointF point = trueContactPoint(scene);
        if (!find.found) {
            ++missed;
            std::cout << "jump " << i << ": not found (" << find.reason.toStdString() << ")\n";
            continue;
        }
        const double pixels = std::hypot(find.point.x() - point.x(), find.point.y() - point.y());
        exact += find.frame == truth;
        withinOne += std::abs(find.frame - truth) <= 1;
        near += pixels <= 3.0;
        worstPixels = std::max(worstPixels, pixels);
        if (find.frame != truth || pixels > 3.0)
            std::cout << "jump " << i << ": frame " << find.frame << " (true " << truth
                      << "), point " << find.point.x() << ", " << find.point.y() << " (true "
                      << point.x() << ", " << point.y() << "), splash "
                      << scene.landing().splash << ", noise " << scene.light().noise
                      << ", brightness " << scene.light().brightness << "\n";
    }
    std::cout << "contact frame exact in " << exact << " of " << jumps << ", within one frame in "
              << withinOne << ", point within 3 px in " << near << " (worst " << worstPixels
              << " px), not found in " << missed << "\n";
    EXPECT_GE(exact, 0.80 * jumps);
    EXPECT_GE(withinOne, 0.98 * jumps);
    EXPECT_GE(near, 0.90 * jumps);
}

// A skier who rides past the ramp throws up no spray: nothing is suggested.
TEST(ContactFinder, SuggestsNothingForPassesWithoutAJump)
{
    std::mt19937 random(77);
    const int passes = testing::manyViews(32);
    std::vector<SimulatedScene> scenes;
    for (int i = 0; i < passes; ++i)
        scenes.push_back(randomJump(random, false));
    const std::vector<ContactFind> finds = searchAll(scenes);
    int none = 0;
    for (int i = 0; i < passes; ++i) {
        const ContactFind &find = finds[size_t(i)];
        if (!find.found) {
            ++none;
            EXPECT_FALSE(find.reason.isEmpty());
        } else {
            std::cout << "pass " << i << ": frame " << find.frame << " at " << find.point.x()
                      << ", " << find.point.y() << "\n";
        }
    }
    std::cout << "no contact found in " << none << " of " << passes << " passes without a jump\n";
    EXPECT_GE(none, 0.95 * passes);
}

// A skier who lands beyond the landing area the grid spans (here 10 m past its far buoys) is
// out of the area measured: nothing is suggested.
TEST(ContactFinder, SuggestsNothingForALandingOutsideTheLandingArea)
{
    SimulatedScene scene;
    scene.landing().point = {85.0, 0.0};
    scene.landing().seconds = 2.2;
    const ContactFind find = findContact(recordingOf(scene), test::gridOfScene(scene, kSize));
    EXPECT_FALSE(find.found) << "frame " << find.frame;
    EXPECT_FALSE(find.reason.isEmpty());
}

// What cannot be searched says why, and suggests nothing.
TEST(ContactFinder, SaysWhyARecordingCannotBeSearched)
{
    const SimulatedScene scene;
    const Grid grid = test::gridOfScene(scene, kSize);
    EXPECT_EQ(findContact({}, grid).reason, QStringLiteral("the recording has no pictures"));

    std::vector<QImage> recording = recordingOf(scene);
    const std::vector<QImage> tooShort(recording.begin(), recording.begin() + 10);
    EXPECT_EQ(findContact(tooShort, grid).reason, QStringLiteral("the recording is too short"));

    // A grid built for a larger picture: its landing area lies outside this one.
    const ContactFind elsewhere = findContact(tooShort, test::gridOfScene(scene, QSize(4000, 3000)));
    EXPECT_FALSE(elsewhere.found);
    EXPECT_EQ(elsewhere.reason, QStringLiteral("the grid's landing area is not in the picture"));

    std::vector<QImage> mixed = recording;
    mixed[20] = mixed[20].scaled(640, 360);
    const ContactFind changed = findContact(mixed, grid);
    EXPECT_FALSE(changed.found);
    EXPECT_EQ(changed.reason, QStringLiteral("the pictures change size within the recording"));

    // The whole recording of the default jump is found, in pictures of any format.
    for (QImage &picture : recording)
        picture = picture.convertToFormat(QImage::Format_RGB888);
    const ContactFind find = findContact(recording, grid);
    ASSERT_TRUE(find.found) << find.reason.toStdString();
    EXPECT_EQ(find.frame, scene.landingFrame(kFps));
    EXPECT_LT(QLineF(find.point, trueContactPoint(scene)).length(), 3.0);

    // What the finder keeps is bounded: frames past the bound are counted, not kept, and the
    // search runs over the frames kept (with no room, only the first one).
    ContactFinder bounded(grid, 0);
    for (const QImage &picture : recording)
        bounded.addFrame(picture);
    EXPECT_EQ(bounded.frameCount(), int(recording.size()));
    EXPECT_EQ(bounded.find().reason, QStringLiteral("the recording is too short"));

    // And at 1920 x 1080, where the coarse pictures are a third of the width.
    const QSize fullHd(1920, 1080);
    const ContactFind large =
        findContact(recordingOf(scene, fullHd), test::gridOfScene(scene, fullHd));
    ASSERT_TRUE(large.found) << large.reason.toStdString();
    EXPECT_EQ(large.frame, scene.landingFrame(kFps));
    EXPECT_LT(QLineF(large.point, trueContactPoint(scene, fullHd)).length(), 3.0);
}

} // namespace
} // namespace skelvin
