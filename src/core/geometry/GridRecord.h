#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace skelvin {

// Which command writes the grid record into the results file; each labels the lines its way.
enum class GridRecordKind {
    Completion,  // Complete on the grid setup screen: "Pixels" labels, check buoy numbers
    FileLoad,    // Load File on the grid setup screen: "Twips" labels, its own check buoy lines
    StartupLoad, // the grids named in the settings, loaded at start-up
};

// The texts of the grid setup fields as the record shows them.
struct GridRecordFields
{
    QString fileName;     // ipt_file_description
    QString description;  // ipt_file_description_2
    int gridNumber = 1;
    // Screen and survey texts, x then y, of each corner in corner order
    // (upper right, lower right, upper left, lower left).
    std::array<std::array<QString, 2>, 4> cornerScreen;
    std::array<std::array<QString, 2>, 4> cornerSurvey;
    std::array<QString, 2> jump;
    // The check buoy as numbers (Completion and FileLoad) ...
    double checkScreenX = 0, checkScreenY = 0, checkSurveyX = 0, checkSurveyY = 0;
    // ... and as the texts of its fields (StartupLoad).
    std::array<QString, 2> checkScreenText;
    std::array<QString, 2> checkSurveyText;
};

// The lines of the grid record, starting with "<date> <time> New Set-up now in place".
QStringList gridRecordLines(const GridRecordFields &fields, GridRecordKind kind,
                            const QString &dateText, const QString &timeText);

} // namespace skelvin
