#pragma once

#include "core/geometry/Grid.h"
#include "core/common/Tournament.h"

#include <QString>

#include <optional>

namespace skelvin {

class GridStore;

// A picture point measured on the active grid.
struct JumpMeasurement
{
    SurveyPoint survey;      // the mapped point, without any correction
    double distanceMetres;   // unrounded, correction included
};

// Maps the point with the active transform and measures it from the active jump position used
// for distances, adding the tournament's correction. Nothing when the point has no image.
std::optional<JumpMeasurement> distance_calculation(const GridStore &grids, TournamentType type,
                                                    ScreenPoint point);

// The same from an explicit transform and jump position.
std::optional<JumpMeasurement> measureJump(const GridTransform &transform, SurveyPoint jump,
                                           TournamentType type, ScreenPoint point);

// The official texts of a measured distance, without sign blank or unit:
// metres half up to a tenth; feet whole (0.3048 m a foot) or, for barefoot and sit ski, tenths.
struct OfficialDistance
{
    double metres;
    double feet;
};
OfficialDistance officialDistance(double distanceMetres, TournamentType type);

// Text of a point that lies on the transform's vanishing line.
inline const QString kNoImageText = QStringLiteral("no image");

} // namespace skelvin
