#pragma once

#include "core/geometry/Grid.h"
#include "core/geometry/JumpDistance.h"
#include "core/common/Tournament.h"

#include <QString>

#include <array>
#include <optional>

namespace skelvin {

class GridStore;

// The accuracy check measures a 7 x 7 lattice spread over the grid on the picture: columns
// i = 0..6 left to right, rows j = 0..6 from the back line (through the upper corners) to the
// front line (through the lower corners). Point k = i * 7 + j, the number of its indicator.
inline constexpr int kAccuracyLatticeSize = 7;
inline constexpr int kAccuracyPointCount = kAccuracyLatticeSize * kAccuracyLatticeSize;

// One picture pixel: the step by which a marked point is moved to see how the distance changes.
inline constexpr double kAccuracyStepTwips = 15;

// Grades of how much one pixel moves the distance, best first.
inline const QString kGradeR = QStringLiteral("R");
inline const QString kGradeL = QStringLiteral("L");
inline const QString kGradeC = QStringLiteral("C");
inline const QString kGradeNH = QStringLiteral("NH");

// One lattice point and how the jump distance changes around it.
struct AccuracyPoint
{
    int column = 0; // i
    int row = 0;    // j
    ScreenPoint screen;
    // False when the point, or the point one pixel right or below, lies on the transform's
    // vanishing line (or so near it that no finite distance comes out): nothing can be
    // measured there, and none of the numbers below mean anything.
    bool hasImage = false;
    double distanceMetres = 0;       // d0, at the point, correction included
    double rightDistanceMetres = 0;  // dh, one pixel to the right
    double belowDistanceMetres = 0;  // dv, one pixel below
    double deltaMetres = 0;          // the larger change; the right one when both are equal
    SurveyPoint belowSurvey;         // survey position of the point one pixel below

    int index() const { return column * kAccuracyLatticeSize + row; }
};

// The seven rows of seven points of one check, indexed by k = i * 7 + j.
using AccuracyPoints = std::array<AccuracyPoint, kAccuracyPointCount>;

// The grades of how much one pixel moves the distance, best first.
enum class AccuracyGrade { R, L, C, NH };
inline constexpr int kAccuracyGradeCount = 4;

// "R" up to 0.1 m per pixel, "L" up to 0.15, "C" up to 0.2, "NH" above.
AccuracyGrade gradeOfDelta(double deltaMetres);
QString gradeText(AccuracyGrade grade);
QString accuracyGrade(double deltaMetres);

// The change of distance a point is graded by, from the distance at the point (d0), one pixel
// to the right (dh) and one pixel below (dv): the larger of |dh - d0| and |dv - d0|, the right
// one when both are equal. Not finite when any distance is not.
double accuracyDelta(double d0, double dh, double dv);

// A transform that maps the picture onto the water: finite, and not collapsing the picture onto
// a line or a single point (as the all-zero transform of a grid saved before it was completed
// does, which would grade every point "R").
bool usableTransform(const GridTransform &transform);

// The distance at a picture point with the tournament's correction, when the point has a
// finite image on the transform.
std::optional<JumpMeasurement> finiteMeasurement(const GridTransform &transform, SurveyPoint jump,
                                                 TournamentType type, ScreenPoint point);

// The lattice on the picture: the left and right edges divided in six between their upper and
// lower corners, then each row divided in six between its edge points. Linear on the picture,
// not along the survey grid.
std::array<ScreenPoint, kAccuracyPointCount> accuracyLattice(ScreenPoint upperLeft,
                                                             ScreenPoint upperRight,
                                                             ScreenPoint lowerLeft,
                                                             ScreenPoint lowerRight);

// Measures one point on the active grid with the tournament's correction.
AccuracyPoint measureAccuracyPoint(const GridStore &grids, TournamentType type, ScreenPoint point);
// The same on an explicit transform and jump position.
AccuracyPoint measureAccuracyPoint(const GridTransform &transform, SurveyPoint jump,
                                   TournamentType type, ScreenPoint point);

// Measures every lattice point in lattice order.
AccuracyPoints measureAccuracyLattice(const GridStore &grids, TournamentType type,
                                      const std::array<ScreenPoint, kAccuracyPointCount> &lattice);

} // namespace skelvin
