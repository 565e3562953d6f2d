#pragma once

#include <QString>

namespace skelvin {

enum class TournamentType { Normal, Barefoot, SitSki };

// The settings word of a tournament type: "normal", "barefoot", "sitski".
QString tournamentWord(TournamentType type);
// Anything but "barefoot" and "sitski" is a normal tournament.
TournamentType tournamentFromWord(const QString &word);

// What is added to the straight-line distance: 2.1 m normal, 1.9 m sit ski, nothing barefoot.
double tournamentCorrectionMetres(TournamentType type);

} // namespace skelvin
