#pragma once

#include "core/common/Result.h"
#include "core/simulation/SimulatedScene.h"

#include <QString>

namespace skelvin {

// Reads a scene file for the simulated camera: an INI file with the sections [course],
// [camera] and [landing]; every key is optional and a missing one keeps its default.
//
//   [course]   upper_left_x, upper_left_y, upper_right_x, upper_right_y, lower_left_x,
//              lower_left_y, lower_right_x, lower_right_y, check_buoy_x, check_buoy_y,
//              jump_x, jump_y                  (survey metres)
//   [camera]   x, y, height, aim_x, aim_y      (metres; aim is the water point at the centre)
//              horizontal_fov                  (degrees, above 1 and below 170)
//              k1                              (radial lens distortion, -1 to 1; 0 none)
//   [landing]  x, y                            (survey metres of first contact)
//              seconds                         (after leaving the ramp, above 0, up to 10)
//
// A file that is missing or unreadable fails with its path. A value that is not a number or
// out of range, an unknown key and a line that is not "key=value" are each told with the file
// and line in the scene's warnings, and the default is kept.
Result<SimulatedScene> readSceneFile(const QString &path);

} // namespace skelvin
