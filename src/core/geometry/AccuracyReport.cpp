#include "core/geometry/AccuracyReport.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/geometry/JumpDistance.h"

namespace skelvin {

namespace {

// Lines 6 to 22 of the grid record: the corners, the jump and the check buoy.
constexpr qsizetype kRecordBodyFirst = 5;
constexpr qsizetype kRecordBodyCount = 17;
// Within them, the check buoy survey line, which the report writes from the typed texts.
constexpr qsizetype kCheckSurveyLine = 15;

QString hundredths(double value)
{
    return Str(roundHalfUp(value, 2));
}

} // namespace

QString accuracyReportFileName(const QString &dateText)
{
    return QStringLiteral("acc") + dayStamp(dateText).left(4) + QStringLiteral(".txt");
}

QString accuracyReportPath(const QString &videoDirectory, const QString &dateText)
{
    return joinPath(withoutTrailingSeparator(videoDirectory), accuracyReportFileName(dateText));
}

QString accuracyReportPointLine(const AccuracyPoint &p)
{
    const QString at = QStringLiteral("xpix: ") + Str(Int(p.screen.x)) + QStringLiteral("  ypix: ")
                       + Str(Int(p.screen.y));
    if (!p.hasImage)
        return at + QStringLiteral("  ") + kNoImageText;
    return at + QStringLiteral("  x: ") + hundredths(p.belowSurvey.x) + QStringLiteral("  y: ")
           + hundredths(p.belowSurvey.y) + QStringLiteral("  distance: ")
           + hundredths(p.distanceMetres) + QStringLiteral("  v inc: ")
           + hundredths(p.belowDistanceMetres) + QStringLiteral("  h inc: ")
           + hundredths(p.rightDistanceMetres) + QStringLiteral("  delta: ")
           + hundredths(p.deltaMetres);
}

QStringList accuracyReportLines(const GridRecordFields &fields, const SetupRatios &ratios,
                                const AccuracyPoints &points, const QString &dateText,
                                const QString &timeText)
{
    QStringList body = gridRecordLines(fields, GridRecordKind::Completion, dateText, timeText)
                           .mid(kRecordBodyFirst, kRecordBodyCount);
    body[kCheckSurveyLine] = QStringLiteral("Check Buoy X,Y Survey: ") + fields.checkSurveyText[0]
                             + QStringLiteral("  ") + fields.checkSurveyText[1];

    QStringList lines;
    lines << dateText + QStringLiteral("  ") + timeText + QStringLiteral(" Accuracy Check")
          << QStringLiteral("Grid Set-up for accuracy check") << fields.fileName
          << fields.description
          << QStringLiteral("Grid Number: ") + printedNumber(fields.gridNumber)
          << QStringLiteral(" ") << QStringLiteral("Front Ratio: ") + Str(Int(ratios.front))
          << QStringLiteral("Back Ratio: ") + Str(Int(ratios.back)) << body;
    for (const AccuracyPoint &p : points)
        lines << accuracyReportPointLine(p);
    lines << QStringLiteral("Accuracy Check Complete") << QString();
    return lines;
}

} // namespace skelvin
