#pragma once

#include "core/geometry/Grid.h"
#include "core/geometry/GridRecord.h"

#include <QString>

#include <optional>

namespace skelvin {

// The texts of the grid setup screen's entry fields, exactly as the operator sees them. A field
// that still shows its not-entered text ("auto", "input", "jump x" ...) has not been entered.
struct GridEntryTexts
{
    // Corner screen positions, twips.
    QString upper_left_x = QStringLiteral("auto");
    QString upper_left_y = QStringLiteral("auto");
    QString upper_right_x = QStringLiteral("auto");
    QString upper_right_y = QStringLiteral("auto");
    QString lower_left_x = QStringLiteral("auto");
    QString lower_left_y = QStringLiteral("auto");
    QString lower_right_x = QStringLiteral("auto");
    QString lower_right_y = QStringLiteral("auto");
    // Corner survey positions, metres.
    QString ul_survey_x = QStringLiteral("input");
    QString ul_survey_y = QStringLiteral("input");
    QString ur_survey_x = QStringLiteral("input");
    QString ur_survey_y = QStringLiteral("input");
    QString ll_survey_x = QStringLiteral("input");
    QString ll_survey_y = QStringLiteral("input");
    QString lr_survey_x = QStringLiteral("input");
    QString lr_survey_y = QStringLiteral("input");
    // Jump position, metres.
    QString jump_x = QStringLiteral("jump x");
    QString jump_y = QStringLiteral("jump y");
    // Check buoy survey position, metres, and where it was marked, twips (empty, or "auto"
    // after loading a file without check buoy).
    QString txtCheckX = QStringLiteral("CheckX");
    QString txtCheckY = QStringLiteral("CheckY");
    QString txtCheckXpix;
    QString txtCheckYpix;
    // Grid file name and description.
    QString ipt_file_description = QStringLiteral("No File");
    QString ipt_file_description_2;
};

// The first field, in the order Complete checks them (corner screen fields, corner survey
// fields, jump, check buoy survey), that still shows its not-entered text; nothing when every
// one has been entered.
std::optional<QString> firstFieldNotEntered(const GridEntryTexts &texts);

// The first required field, in the same order, whose text is entered but is not a number, by
// the name the operator knows it by ("upper left buoy, survey X"); nothing when there is none.
std::optional<QString> firstFieldNotANumber(const GridEntryTexts &texts);
// What Complete tells the operator about such a field.
QString notANumberText(const QString &fieldCaption);

// Whether an entry field's text is neither its not-entered text nor a number. Such a text is
// read as its leading number ("input20" as 0), which is never what the operator meant.
bool entryTextIsWrong(const QString &text, const QString &notEnteredText);

// Puts the numbers of the texts into a grid: corners, jump position (the stored copy) and
// check buoy, with the file name and description texts. The transform is left as it is.
void applyEntryTexts(const GridEntryTexts &texts, Grid &grid);

// The texts of the grid record of a completion: the corner and jump fields as typed, the check
// buoy as the numbers the grid holds.
GridRecordFields completionRecordFields(const GridEntryTexts &texts, const Grid &grid, int n);

} // namespace skelvin
