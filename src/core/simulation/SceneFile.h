#pragma once

#include "core/common/Result.h"
#include "core/simulation/SimulatedScene.h"

#include <QString>

namespace skelvin {

// Reads a scene file for the simulated camera: an INI file with the sections [course],
// [camera], [light], [water] and [landing]; every key is optional and a missing one keeps its
// default.
//
//   [course]   upper_left_x, upper_left_y, upper_right_x, upper_right_y, lower_left_x,
//              lower_left_y, lower_right_x, lower_right_y, check_buoy_x, check_buoy_y,
//              jump_x, jump_y                  (survey metres)
//   [camera]   x, y, height, aim_x, aim_y      (metres; aim is the water point at the centre)
//              horizontal_fov                  (degrees, above 1 and below 170)
//              k1                              (radial lens distortion, -1 to 1; 0 none)
//              sway_deg, sway_period_s         (a slow sway of the aim: degrees, 0 to 5, and
//                                               its period, seconds)
//              drift_deg_per_min               (a creeping pan, -10 to 10)
//              bump_pan_deg, bump_tilt_deg     (a sudden step of the aim, -10 to 10 degrees,
//              bump_seconds                     that many seconds after a recording starts)
//   [light]    brightness                      (1 the usual light; above 0, up to 3)
//              noise                           (sensor noise, grey levels, 0 to 50)
//              glints                          (sun glints on the water, 0 to 1)
//   [water]    waves                           (the swell's height, 1 the usual, 0 to 5)
//              whitecaps                       (breaking crests, 0 to 1)
//   [landing]  x, y                            (survey metres of first contact)
//              seconds                         (after leaving the ramp, above 0, up to 10)
//              splash                          (its size, 1 the usual, 0 to 5)
//              jump                            (yes, or no for a pass without a jump)
//
// A file that is missing or unreadable fails with its path. A value that is not a number or
// out of range, an unknown key and a line that is not "key=value" are each told with the file
// and line in the scene's warnings, and the default is kept.
Result<SimulatedScene> readSceneFile(const QString &path);

} // namespace skelvin
