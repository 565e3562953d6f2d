#include "core/geometry/GridEntryTexts.h"

#include "core/common/NumberText.h"

namespace skelvin {

namespace {

// The fields Complete requires, in the order it checks them, with their not-entered texts.
struct RequiredField
{
    const char *name;
    QString GridEntryTexts::*text;
    const char *notEntered;
    const char *caption; // the box as the operator knows it
};

constexpr RequiredField kRequiredFields[] = {
    {"upper_left_x", &GridEntryTexts::upper_left_x, "auto", "upper left buoy, screen X"},
    {"upper_left_y", &GridEntryTexts::upper_left_y, "auto", "upper left buoy, screen Y"},
    {"upper_right_x", &GridEntryTexts::upper_right_x, "auto", "upper right buoy, screen X"},
    {"upper_right_y", &GridEntryTexts::upper_right_y, "auto", "upper right buoy, screen Y"},
    {"lower_left_x", &GridEntryTexts::lower_left_x, "auto", "lower left buoy, screen X"},
    {"lower_left_y", &GridEntryTexts::lower_left_y, "auto", "lower left buoy, screen Y"},
    {"lower_right_x", &GridEntryTexts::lower_right_x, "auto", "lower right buoy, screen X"},
    {"lower_right_y", &GridEntryTexts::lower_right_y, "auto", "lower right buoy, screen Y"},
    {"ul_survey_x", &GridEntryTexts::ul_survey_x, "input", "upper left buoy, survey X"},
    {"ul_survey_y", &GridEntryTexts::ul_survey_y, "input", "upper left buoy, survey Y"},
    {"ur_survey_x", &GridEntryTexts::ur_survey_x, "input", "upper right buoy, survey X"},
    {"ur_survey_y", &GridEntryTexts::ur_survey_y, "input", "upper right buoy, survey Y"},
    {"ll_survey_x", &GridEntryTexts::ll_survey_x, "input", "lower left buoy, survey X"},
    {"ll_survey_y", &GridEntryTexts::ll_survey_y, "input", "lower left buoy, survey Y"},
    {"lr_survey_x", &GridEntryTexts::lr_survey_x, "input", "lower right buoy, survey X"},
    {"lr_survey_y", &GridEntryTexts::lr_survey_y, "input", "lower right buoy, survey Y"},
    {"jump_x", &GridEntryTexts::jump_x, "jump x", "jump, X"},
    {"jump_y", &GridEntryTexts::jump_y, "jump y", "jump, Y"},
    {"txtCheckX", &GridEntryTexts::txtCheckX, "CheckX", "check buoy, survey X"},
    {"txtCheckY", &GridEntryTexts::txtCheckY, "CheckY", "check buoy, survey Y"},
};

// The screen and survey texts of each corner, in corner order (upper right, lower right,
// upper left, lower left).
struct CornerFields
{
    QString GridEntryTexts::*screenX;
    QString GridEntryTexts::*screenY;
    QString GridEntryTexts::*surveyX;
    QString GridEntryTexts::*surveyY;
};

constexpr CornerFields kCornerFields[CornerCount] = {
    {&GridEntryTexts::upper_right_x, &GridEntryTexts::upper_right_y, &GridEntryTexts::ur_survey_x,
     &GridEntryTexts::ur_survey_y},
    {&GridEntryTexts::lower_right_x, &GridEntryTexts::lower_right_y, &GridEntryTexts::lr_survey_x,
     &GridEntryTexts::lr_survey_y},
    {&GridEntryTexts::upper_left_x, &GridEntryTexts::upper_left_y, &GridEntryTexts::ul_survey_x,
     &GridEntryTexts::ul_survey_y},
    {&GridEntryTexts::lower_left_x, &GridEntryTexts::lower_left_y, &GridEntryTexts::ll_survey_x,
     &GridEntryTexts::ll_survey_y},
};

} // namespace

std::optional<QString> firstFieldNotEntered(const GridEntryTexts &texts)
{
    for (const RequiredField &field : kRequiredFields) {
        if (texts.*field.text == QLatin1String(field.notEntered))
            return QString::fromLatin1(field.name);
    }
    return std::nullopt;
}

std::optional<QString> firstFieldNotANumber(const GridEntryTexts &texts)
{
    for (const RequiredField &field : kRequiredFields) {
        if (entryTextIsWrong(texts.*field.text, QString::fromLatin1(field.notEntered)))
            return QString::fromLatin1(field.caption);
    }
    return std::nullopt;
}

QString notANumberText(const QString &fieldCaption)
{
    return QStringLiteral("The box \"%1\" does not hold a number. Type the number there and "
                          "press Complete again.")
        .arg(fieldCaption);
}

bool entryTextIsWrong(const QString &text, const QString &notEnteredText)
{
    double value = 0;
    return text != notEnteredText && !parseNumberField(text, &value);
}

void applyEntryTexts(const GridEntryTexts &texts, Grid &grid)
{
    for (size_t i = 0; i < grid.corners.size(); ++i) {
        const CornerFields &f = kCornerFields[i];
        grid.corners[i].screen = {Val(texts.*f.screenX), Val(texts.*f.screenY)};
        grid.corners[i].survey = {Val(texts.*f.surveyX), Val(texts.*f.surveyY)};
    }
    grid.jump = {Val(texts.jump_x), Val(texts.jump_y)};
    grid.checkBuoyScreen = {Val(texts.txtCheckXpix), Val(texts.txtCheckYpix)};
    grid.checkBuoySurvey = {Val(texts.txtCheckX), Val(texts.txtCheckY)};
    grid.fileName = texts.ipt_file_description;
    grid.description = texts.ipt_file_description_2;
}

GridRecordFields completionRecordFields(const GridEntryTexts &texts, const Grid &grid, int n)
{
    GridRecordFields f;
    f.fileName = texts.ipt_file_description;
    f.description = texts.ipt_file_description_2;
    f.gridNumber = n;
    for (size_t i = 0; i < grid.corners.size(); ++i) {
        const CornerFields &c = kCornerFields[i];
        f.cornerScreen[i] = {texts.*c.screenX, texts.*c.screenY};
        f.cornerSurvey[i] = {texts.*c.surveyX, texts.*c.surveyY};
    }
    f.jump = {texts.jump_x, texts.jump_y};
    f.checkScreenX = grid.checkBuoyScreen.x;
    f.checkScreenY = grid.checkBuoyScreen.y;
    f.checkSurveyX = grid.checkBuoySurvey.x;
    f.checkSurveyY = grid.checkBuoySurvey.y;
    f.checkScreenText = {texts.txtCheckXpix, texts.txtCheckYpix};
    f.checkSurveyText = {texts.txtCheckX, texts.txtCheckY};
    return f;
}

} // namespace skelvin
