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
};

constexpr RequiredField kRequiredFields[] = {
    {"upper_left_x", &GridEntryTexts::upper_left_x, "auto"},
    {"upper_left_y", &GridEntryTexts::upper_left_y, "auto"},
    {"upper_right_x", &GridEntryTexts::upper_right_x, "auto"},
    {"upper_right_y", &GridEntryTexts::upper_right_y, "auto"},
    {"lower_left_x", &GridEntryTexts::lower_left_x, "auto"},
    {"lower_left_y", &GridEntryTexts::lower_left_y, "auto"},
    {"lower_right_x", &GridEntryTexts::lower_right_x, "auto"},
    {"lower_right_y", &GridEntryTexts::lower_right_y, "auto"},
    {"ul_survey_x", &GridEntryTexts::ul_survey_x, "input"},
    {"ul_survey_y", &GridEntryTexts::ul_survey_y, "input"},
    {"ur_survey_x", &GridEntryTexts::ur_survey_x, "input"},
    {"ur_survey_y", &GridEntryTexts::ur_survey_y, "input"},
    {"ll_survey_x", &GridEntryTexts::ll_survey_x, "input"},
    {"ll_survey_y", &GridEntryTexts::ll_survey_y, "input"},
    {"lr_survey_x", &GridEntryTexts::lr_survey_x, "input"},
    {"lr_survey_y", &GridEntryTexts::lr_survey_y, "input"},
    {"jump_x", &GridEntryTexts::jump_x, "jump x"},
    {"jump_y", &GridEntryTexts::jump_y, "jump y"},
    {"txtCheckX", &GridEntryTexts::txtCheckX, "CheckX"},
    {"txtCheckY", &GridEntryTexts::txtCheckY, "CheckY"},
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
