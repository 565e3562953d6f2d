#pragma once

#include "core/simulation/SimulatedScene.h"

#include <algorithm>
#include <random>

namespace skelvin::testing {

// How many of `views` random views a test over the simulated world draws: all of them, or a
// fifth in the sanitized build, where drawing is slow and the figures are not what is checked.
inline int manyViews(int views)
{
#ifdef SKELVIN_TESTS_SANITIZED
    return std::max(1, views / 5);
#else
    return views;
#endif
}

inline double between(std::mt19937 &random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

// A view a homologated site allows: the tower somewhere along the near shore, 12 to 25 m up,
// aimed at the course with a lens that takes in the grid.
inline SimulatedScene randomSiteView(std::mt19937 &random)
{
    SimulatedScene scene;
    SceneCamera &camera = scene.camera();
    camera.position = {between(random, 35.0, 60.0), between(random, -160.0, -100.0)};
    camera.heightMetres = between(random, 12.0, 25.0);
    camera.aim = {between(random, 42.0, 53.0), between(random, -4.0, 4.0)};
    camera.horizontalFovDegrees = between(random, 24.0, 33.0);
    return scene;
}

// The weather of another day: light from dull to bright, a sensor from clean to grainy, water
// from calm to choppy with breaking crests, sun glints from none to many.
inline void randomDay(SimulatedScene &scene, std::mt19937 &random)
{
    SceneLight &light = scene.light();
    light.brightness = between(random, 0.6, 1.3);
    light.noise = between(random, 0.0, 6.0);
    light.glints = between(random, 0.0, 1.0);
    SceneWater &water = scene.water();
    water.waves = between(random, 0.3, 2.0);
    water.whitecaps = between(random, 0.0, 0.5);
}

} // namespace skelvin::testing
