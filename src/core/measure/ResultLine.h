#pragma once

#include "core/measure/MeasureState.h"

#include <QString>

namespace skelvin {

// The texts of one measured distance, as the measure screen shows them and the scoring
// program receives them.
struct DistanceTexts
{
    QString distanceText;     // `distance`: " 45.1m"
    QString distanceFtText;   // `distance_ft`: " 148ft"
    QString fineDistanceText; // " 45.1234": the distance to four decimals
    QString exchangeMetres;   // " 45.1"
    QString exchangeFeet;     // " 148"
};

// Rounds a measured distance (metres, correction included) for display and files: metres half
// up to a tenth; feet whole at 0.3048 m a foot, or in tenths of a foot for barefoot and sit-ski
// tournaments (tenthsOfFeet).
DistanceTexts distanceTexts(double distanceMetres, bool tenthsOfFeet);

// The results-file line of a recorded jump, from the measure screen's state after measuring:
// date, time, skier, jump number, both distances, the BAREFOOT and verify-mode markers, the
// comment and, unless the distance came from the other grid, the survey point, the screen
// point and the fine distance. For a pass or a fall the screen point is the last mouse position
// over the picture; for a measured jump it is the mark.
QString ResultLine(const QString &dateText, const QString &timeText, const MeasureState &state,
                   bool barefootMode);

// A dated line of the results file: Date$ " " Time$ " " text (reride, comment and picture lines).
QString DatedResultLine(const QString &dateText, const QString &timeText, const QString &text);

inline const QString kMandatoryRerideText = QStringLiteral("Mandatory Reride - disregard last jump");
inline const QString kOptionalRerideText = QStringLiteral("Optional Reride on previous jump");

} // namespace skelvin
