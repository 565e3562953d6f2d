#pragma once

#include "core/geometry/Grid.h"
#include "core/common/Tournament.h"

#include <QString>

#include <optional>

namespace skelvin {

class GridStore;

// Where the measure screen draws what it draws, and the texts it shows beside the picture.

// One step of the mark: one picture pixel.
inline constexpr double kMarkStepTwips = 15.0;

// The corrected landing point above which the splash indicator stands: the mark moved along the
// survey X axis by the tournament's correction in the jump direction. Nothing when the mark or
// the moved point has no image.
std::optional<ScreenPoint> splashPoint(const GridStore &grids, TournamentType type,
                                       bool rightToLeft, ScreenPoint mark);

// How far a buoy marker reaches from its centre: the arm of a cross, the radius (2 x size) of a
// circle. The distance labels stand beyond it.
double buoyMarkerReachTwips(bool cross, double sizeTwips);

// The distance labels of an upper buoy: " 197 feet" and " 60.1 meters".
struct BuoyDistanceTexts
{
    QString feet;
    QString metres;
};
BuoyDistanceTexts buoyDistanceTexts(SurveyPoint jump, SurveyPoint buoy);

// The verify-mode readouts for a mouse position.
struct LiveReadout
{
    QString xtwips;
    QString ytwips;
    QString xposition;
    QString yposition;
    QString verifyDistance; // " 45.1m  148ft"
};
// Nothing for a point with no image.
std::optional<LiveReadout> liveReadout(const GridStore &grids, TournamentType type, ScreenPoint p);

// The grid button's next caption and grid: "&Grid 1" -> 2, "&Grid 2" -> 3 (or 1 with fewer than
// three grids), "&Grid 3" -> 1.
struct GridChoice
{
    int grid;
    QString caption;
};
GridChoice nextGrid(const QString &caption, int gridCount);

// The jump number after Clear: Str(Val(jump) + 1), so "3" becomes " 4".
QString nextJumpNumber(const QString &jumpNo);

} // namespace skelvin
