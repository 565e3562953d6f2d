#include "core/geometry/GridRecord.h"

#include "core/common/NumberText.h"

namespace skelvin {

namespace {

const QString kBlankLine = QStringLiteral(" ");
const QString kTwoBlanks = QStringLiteral("  ");

// Record order of the corners: upper left, lower left, upper right, lower right, with their
// index in the corner order of the grid.
struct RecordCorner
{
    const char *name;
    int index;
};
constexpr RecordCorner kRecordCorners[] = {
    {"Upper Left", 2}, {"Lower Left", 3}, {"Upper Right", 0}, {"Lower Right", 1}};

QString pair(const QString &x, const QString &y)
{
    return x + kTwoBlanks + y;
}

QString numberPair(double x, double y)
{
    return printedNumber(x) + kTwoBlanks + printedNumber(y);
}

} // namespace

QStringList gridRecordLines(const GridRecordFields &f, GridRecordKind kind,
                            const QString &dateText, const QString &timeText)
{
    const QString unit = kind == GridRecordKind::Completion ? QStringLiteral("Pixels")
                                                            : QStringLiteral("Twips");
    QStringList lines;
    lines << dateText + QLatin1Char(' ') + timeText + QStringLiteral(" New Set-up now in place")
          << f.fileName << f.description
          << QStringLiteral("Grid Number: ") + printedNumber(f.gridNumber) << kBlankLine;

    for (const RecordCorner &c : kRecordCorners) {
        const auto i = static_cast<size_t>(c.index);
        const QString name = QString::fromLatin1(c.name);
        lines << name + QStringLiteral(" X,Y ") + unit + QStringLiteral(": ")
                     + pair(f.cornerScreen[i][0], f.cornerScreen[i][1])
              << name + QStringLiteral(" X,Y Survey: ") + pair(f.cornerSurvey[i][0], f.cornerSurvey[i][1])
              << kBlankLine;
    }
    lines << QStringLiteral("Jump X,Y Survey: ") + pair(f.jump[0], f.jump[1]) << kBlankLine;

    switch (kind) {
    case GridRecordKind::Completion:
        lines << QStringLiteral("Check Buoy X,Y Pixels: ") + numberPair(f.checkScreenX, f.checkScreenY)
              << QStringLiteral("Check Buoy X,Y Survey: ") + numberPair(f.checkSurveyX, f.checkSurveyY);
        break;
    case GridRecordKind::FileLoad:
        if (f.checkScreenX > 0) {
            // "Buoyt" is how this line has always been written; readers of old results expect it.
            lines << QStringLiteral("Check Buoy X,Y Twips: ") + numberPair(f.checkScreenX, f.checkScreenY)
                  << QStringLiteral("Check Buoyt X,Y Survey: ") + numberPair(f.checkSurveyX, f.checkSurveyY);
        } else {
            lines << QStringLiteral("No check buoy for this set up");
        }
        break;
    case GridRecordKind::StartupLoad:
        lines << QStringLiteral("Check Buoy X,Y Twips: ") + pair(f.checkScreenText[0], f.checkScreenText[1])
              << QStringLiteral("Check Buoy X,Y Survey: ") + pair(f.checkSurveyText[0], f.checkSurveyText[1]);
        break;
    }
    lines << kBlankLine;
    return lines;
}

} // namespace skelvin
