#include "core/measure/ResultLine.h"

#include "core/common/NumberText.h"
#include "core/geometry/JumpDistance.h"

namespace skelvin {

DistanceTexts distanceTexts(double distanceMetres, bool tenthsOfFeet)
{
    const OfficialDistance official = officialDistance(
        distanceMetres, tenthsOfFeet ? TournamentType::Barefoot : TournamentType::Normal);
    DistanceTexts texts;
    texts.exchangeMetres = Str(official.metres);
    texts.exchangeFeet = Str(official.feet);
    texts.distanceText = texts.exchangeMetres + QLatin1Char('m');
    texts.distanceFtText = texts.exchangeFeet + QStringLiteral("ft");
    texts.fineDistanceText = Str(roundHalfUp(distanceMetres, 4));
    return texts;
}

namespace {

QString group(const QString &first, const QString &second)
{
    return QStringLiteral(" (") + first + QLatin1Char('/') + second + QLatin1Char(')');
}

} // namespace

QString ResultLine(const QString &dateText, const QString &timeText, const MeasureState &state,
                   bool barefootMode)
{
    QString line = dateText + QLatin1Char(' ') + timeText + QLatin1Char(' ') + state.skierName
                   + QStringLiteral("  jump ") + state.jumpNo + QStringLiteral(" - ")
                   + state.distanceText + QStringLiteral("  (IWSF)")
                   + state.distanceFtText + QStringLiteral("  (AWSA)");
    if (barefootMode)
        line += QStringLiteral(" BAREFOOT ");
    if (state.verifyMode)
        line += QStringLiteral(" UNOFFICIAL JUMP - verify mode ");
    line += state.comment;
    if (state.kind == ResultKind::OtherGrid)
        return line;

    const bool passOrFall = state.kind == ResultKind::Pass || state.kind == ResultKind::Fall;
    const ScreenPoint screen = passOrFall ? state.lastMousePoint : state.impactPoint;
    line += group(Str(roundHalfUp(state.lastSurveyPoint.x, 3)), Str(roundHalfUp(state.lastSurveyPoint.y, 3)));
    line += group(Str(Int(screen.x)), Str(Int(screen.y)));
    line += QStringLiteral(" (") + state.fineDistanceText + QLatin1Char(')');
    return line;
}

QString DatedResultLine(const QString &dateText, const QString &timeText, const QString &text)
{
    return dateText + QLatin1Char(' ') + timeText + QLatin1Char(' ') + text;
}

} // namespace skelvin
