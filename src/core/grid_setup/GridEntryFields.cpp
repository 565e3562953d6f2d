#include "core/grid_setup/GridEntryFields.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridStore.h"

#include <utility>

namespace skelvin {

namespace {

struct NamedText
{
    const char *name;
    QString GridEntryTexts::*text;
};

constexpr NamedText kTexts[] = {
    {"upper_left_x", &GridEntryTexts::upper_left_x},
    {"upper_left_y", &GridEntryTexts::upper_left_y},
    {"ul_survey_x", &GridEntryTexts::ul_survey_x},
    {"ul_survey_y", &GridEntryTexts::ul_survey_y},
    {"upper_right_x", &GridEntryTexts::upper_right_x},
    {"upper_right_y", &GridEntryTexts::upper_right_y},
    {"ur_survey_x", &GridEntryTexts::ur_survey_x},
    {"ur_survey_y", &GridEntryTexts::ur_survey_y},
    {"lower_left_x", &GridEntryTexts::lower_left_x},
    {"lower_left_y", &GridEntryTexts::lower_left_y},
    {"ll_survey_x", &GridEntryTexts::ll_survey_x},
    {"ll_survey_y", &GridEntryTexts::ll_survey_y},
    {"lower_right_x", &GridEntryTexts::lower_right_x},
    {"lower_right_y", &GridEntryTexts::lower_right_y},
    {"lr_survey_x", &GridEntryTexts::lr_survey_x},
    {"lr_survey_y", &GridEntryTexts::lr_survey_y},
    {"txtCheckXpix", &GridEntryTexts::txtCheckXpix},
    {"txtCheckYpix", &GridEntryTexts::txtCheckYpix},
    {"txtCheckX", &GridEntryTexts::txtCheckX},
    {"txtCheckY", &GridEntryTexts::txtCheckY},
    {"jump_x", &GridEntryTexts::jump_x},
    {"jump_y", &GridEntryTexts::jump_y},
    {"ipt_file_description", &GridEntryTexts::ipt_file_description},
    {"ipt_file_description_2", &GridEntryTexts::ipt_file_description_2},
};

} // namespace

const std::array<BuoyFieldRow, BuoyCount> &buoyFieldRows()
{
    static const std::array<BuoyFieldRow, BuoyCount> rows{{
        {Buoy::UpperLeft, "upper left", "upper_left_button",
         {"upper_left_x", "upper_left_y", "ul_survey_x", "ul_survey_y"},
         {"auto", "auto", "input", "input"}},
        {Buoy::UpperRight, "upper right", "upper_right_button",
         {"upper_right_x", "upper_right_y", "ur_survey_x", "ur_survey_y"},
         {"auto", "auto", "input", "input"}},
        {Buoy::LowerLeft, "lower left", "lower_left_button",
         {"lower_left_x", "lower_left_y", "ll_survey_x", "ll_survey_y"},
         {"auto", "auto", "input", "input"}},
        {Buoy::LowerRight, "lower right", "lower_right_button",
         {"lower_right_x", "lower_right_y", "lr_survey_x", "lr_survey_y"},
         {"auto", "auto", "input", "input"}},
        {Buoy::CheckBuoy, "Check Buoy", "optCheckBuoy",
         {"txtCheckXpix", "txtCheckYpix", "txtCheckX", "txtCheckY"},
         {"", "", "CheckX", "CheckY"}},
    }};
    return rows;
}

QStringList entryFieldNames()
{
    QStringList names;
    for (const NamedText &t : kTexts)
        names << QString::fromLatin1(t.name);
    return names;
}

QString *entryFieldText(GridEntryTexts &texts, const QString &name)
{
    for (const NamedText &t : kTexts) {
        if (name == QLatin1String(t.name))
            return &(texts.*t.text);
    }
    return nullptr;
}

const QString *entryFieldText(const GridEntryTexts &texts, const QString &name)
{
    return entryFieldText(const_cast<GridEntryTexts &>(texts), name);
}

void applyFieldEdit(GridStore &grids, const QString &name, const QString &text)
{
    Grid &active = grids.active();
    const double v = Val(text);
    const std::pair<const char *, std::pair<Corner, bool>> surveys[] = {
        {"ul_survey_x", {Corner::UpperLeft, true}}, {"ul_survey_y", {Corner::UpperLeft, false}},
        {"ur_survey_x", {Corner::UpperRight, true}}, {"ur_survey_y", {Corner::UpperRight, false}},
        {"ll_survey_x", {Corner::LowerLeft, true}}, {"ll_survey_y", {Corner::LowerLeft, false}},
        {"lr_survey_x", {Corner::LowerRight, true}}, {"lr_survey_y", {Corner::LowerRight, false}}};
    for (const auto &[field, target] : surveys) {
        if (name == QLatin1String(field)) {
            SurveyPoint &s = active.corner(target.first).survey;
            (target.second ? s.x : s.y) = v;
            return;
        }
    }
    if (name == QLatin1String("jump_x"))
        grids.setActiveJump({v, grids.distanceJump().y});
    else if (name == QLatin1String("jump_y"))
        grids.setActiveJump({grids.distanceJump().x, v});
    else if (name == QLatin1String("txtCheckX"))
        active.checkBuoySurvey.x = v;
    else if (name == QLatin1String("txtCheckY"))
        active.checkBuoySurvey.y = v;
}

} // namespace skelvin
