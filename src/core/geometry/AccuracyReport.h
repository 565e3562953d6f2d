#pragma once

#include "core/geometry/AccuracyLattice.h"
#include "core/geometry/GridRecord.h"
#include "core/geometry/SetupValidation.h"

#include <QString>
#include <QStringList>

namespace skelvin {

// The accuracy report of a day, in the video directory: "acc" + MMDD + ".txt", month and day
// taken from the date text mm-dd-yyyy. Every check appends one block to it.
QString accuracyReportFileName(const QString &dateText);
QString accuracyReportPath(const QString &videoDirectory, const QString &dateText);

// One lattice point of the report: its picture position in whole twips, then, rounded half up
// to 0.01, the survey position of the point one pixel below (the last one mapped), the distance
// at the point, one pixel below ("v inc"), one pixel right ("h inc") and the larger change.
QString accuracyReportPointLine(const AccuracyPoint &point);

// The block one check appends: the heading with the grid's fields and its front and back ratios
// (`fields` as the grid record of a completion shows them, with the check buoy survey as typed
// in `checkSurveyText`), one line per lattice point in lattice order, and the closing line
// followed by an empty line.
QStringList accuracyReportLines(const GridRecordFields &fields, const SetupRatios &ratios,
                                const AccuracyPoints &points, const QString &dateText,
                                const QString &timeText);

} // namespace skelvin
