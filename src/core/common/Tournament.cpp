#include "core/common/Tournament.h"

namespace skelvin {

QString tournamentWord(TournamentType type)
{
    switch (type) {
    case TournamentType::Barefoot:
        return QStringLiteral("barefoot");
    case TournamentType::SitSki:
        return QStringLiteral("sitski");
    case TournamentType::Normal:
        break;
    }
    return QStringLiteral("normal");
}

TournamentType tournamentFromWord(const QString &word)
{
    if (word == QLatin1String("barefoot"))
        return TournamentType::Barefoot;
    if (word == QLatin1String("sitski"))
        return TournamentType::SitSki;
    return TournamentType::Normal;
}

double tournamentCorrectionMetres(TournamentType type)
{
    if (type == TournamentType::Barefoot)
        return 0.0;
    // The sit-ski flag counts as -1: 2.1 + (-1) * 0.2 = 1.9 m.
    const double s = type == TournamentType::SitSki ? -1.0 : 0.0;
    return s * 0.2 + 2.1;
}

} // namespace skelvin
