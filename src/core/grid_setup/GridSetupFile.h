#pragma once

#include "core/common/Result.h"
#include "core/geometry/Grid.h"

#include <QString>
#include <QStringList>

namespace skelvin {

// What a grid setup file (".ipt", 19 lines) holds.
struct GridSetupFileData
{
    QString savedAs;       // line 1 after "Initialization Points for file: "
    QString description;   // line 2
    std::array<CornerBuoy, CornerCount> corners{}; // lines 3..6, in corner order
    GridTransform transform;                       // lines 7..14
    SurveyPoint jump;                              // lines 15, 16
    int gridNumber = 1;                            // line 19 (never used to place the grid)
};

inline constexpr int GridSetupFileLineCount = 19;

// The lines of a grid setup file for a grid saved under path as grid number n.
QStringList gridSetupFileLines(const QString &path, const Grid &grid, int gridNumber);

// Writes the file (create or replace), CR LF line ends.
Failure writeGridSetupFile(const QString &path, const Grid &grid, int gridNumber);

// Reads the lines of a grid setup file. Lines 1 and 2 are taken whole, so a description with a
// comma or a double quote survives; the rest is read as comma-delimited number fields. A missing
// line or a field that is not a number fails with a text that names the line.
Result<GridSetupFileData> parseGridSetupFile(const QStringList &lines);
Result<GridSetupFileData> readGridSetupFile(const QString &path);

// The check buoy file beside a grid setup file: its full name with ".cb" appended.
QString checkBuoyFilePath(const QString &gridSetupPath);

// The check buoy file (4 lines): screen x, screen y as numbers, then the survey X and Y as
// the texts the operator typed.
struct CheckBuoyFileData
{
    ScreenPoint screen;
    QString surveyXText;
    QString surveyYText;
    SurveyPoint survey; // the two texts read as numbers
};

QStringList checkBuoyFileLines(ScreenPoint screen, const QString &surveyXText,
                               const QString &surveyYText);
Failure writeCheckBuoyFile(const QString &path, ScreenPoint screen, const QString &surveyXText,
                           const QString &surveyYText);
Result<CheckBuoyFileData> parseCheckBuoyFile(const QStringList &lines);
Result<CheckBuoyFileData> readCheckBuoyFile(const QString &path);

} // namespace skelvin
