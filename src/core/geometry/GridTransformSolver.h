#pragma once

#include "core/geometry/Grid.h"

#include <QString>

#include <optional>

namespace skelvin {

// Text shown when the four corners do not determine a transform.
inline const QString kNoUniqueSolutionText = QStringLiteral("No Unique Solution - Re-enter data");
inline const QString kNoUniqueSolutionTitle = QStringLiteral("Error Message");

// Solves c1..c8 from the four corners by Gauss-Jordan elimination in place on an 11 x 11 matrix
// (rows and columns 1..8 and right-hand column 9 used), pivoting on the first entry that is not
// exactly zero. Gives nothing when a column has no such entry.
std::optional<GridTransform> SolveGridTransform(const std::array<CornerBuoy, CornerCount> &corners);

// Picture twips to water metres; nothing for a point on the vanishing line (w = 0).
std::optional<SurveyPoint> ScreenToSurvey(const GridTransform &t, ScreenPoint p);

// Water metres to picture twips, the exact inverse; nothing when d = 0.
std::optional<ScreenPoint> SurveyToScreen(const GridTransform &t, SurveyPoint p);

} // namespace skelvin
