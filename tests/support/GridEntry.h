#pragma once

#include "support/Clicks.h"
#include "support/ProgramHarness.h"
#include "ui/common/PictureView.h"
#include "ui/grid_setup/Grid_Setup.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace skelvin::test {

// Replaces a field's text the way an operator types it.
inline void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Five clicks on the grid setup picture and the typed survey values of a straight-down camera
// (one twip a centimetre, corners at 1500 / 11250 twips across and 1500 / 8250 down, check buoy at
// 6000, 4500), jump at 15, 45.
inline void enterStraightDownGridOnScreen(ProgramHarness &h, Grid_Setup &setup)
{
    const std::tuple<const char *, QPoint, const char *, const char *, const char *, const char *> buoys[] = {
        {"upper_left_button", {100, 100}, "ul_survey_x", "15", "ul_survey_y", "15"},
        {"upper_right_button", {750, 100}, "ur_survey_x", "112.5", "ur_survey_y", "15"},
        {"lower_left_button", {100, 550}, "ll_survey_x", "15", "ll_survey_y", "82.5"},
        {"lower_right_button", {750, 550}, "lr_survey_x", "112.5", "lr_survey_y", "82.5"},
        {"optCheckBuoy", {400, 300}, "txtCheckX", "60", "txtCheckY", "45"}};
    // At 1:1 each click lands on its whole pixel.
    setup.pictureView().setZoom(1.0);
    for (const auto &[option, at, fx, vx, fy, vy] : buoys) {
        h.control<QRadioButton>(ScreenId::GridSetup, option)->setChecked(true);
        pressOnPicture(setup.pictureView(), at);
        typeInto(h.control<QLineEdit>(ScreenId::GridSetup, fx), QString::fromLatin1(vx));
        typeInto(h.control<QLineEdit>(ScreenId::GridSetup, fy), QString::fromLatin1(vy));
    }
    typeInto(h.control<QLineEdit>(ScreenId::GridSetup, "jump_x"), QStringLiteral("15"));
    typeInto(h.control<QLineEdit>(ScreenId::GridSetup, "jump_y"), QStringLiteral("45"));
}

} // namespace skelvin::test
