#include "support/ProgramHarness.h"

#include "ui/common/PictureView.h"
#include "ui/grid_setup/Grid_Setup.h"
#include "ui/grid_setup/Calibrate.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

// A box of the calibration line that holds no number is named rather than read as 0, and the
// line goes with its window: closed, it is off both pictures.
TEST(Calibrate, ABoxWithoutANumberIsNamedAndClosingTakesTheLineAway)
{
    ProgramHarness h;
    h.storeStraightDownGrid();
    ASSERT_TRUE(h.startWithVideoDirectory());
    h.prompter.clear();
    h.context().navigator().show(ScreenId::GridSetup);
    auto *setup = static_cast<Grid_Setup *>(h.program().screen(ScreenId::GridSetup));
    h.context().navigator().show(ScreenId::Calibrate);
    QWidget *calibrate = h.program().screen(ScreenId::Calibrate);
    ASSERT_TRUE(calibrate->isVisible());
    const auto box = [&](const char *name) {
        return calibrate->findChild<QLineEdit *>(QString::fromLatin1(name));
    };
    auto *draw = calibrate->findChild<QPushButton *>(QStringLiteral("CalibrateLineDrawCommand"));

    box("CalibrationLineXActual")->setText(QStringLiteral("15"));
    box("CalibrationLineYActual")->setText(QStringLiteral("15"));
    box("CalibrationLineXActual2")->setText(QStringLiteral("11x2.5"));
    box("CalibrationLineYActual2")->setText(QStringLiteral("15"));
    h.prompter.answer(Answer::Ok);
    QTest::mouseClick(draw, Qt::LeftButton);
    EXPECT_EQ(h.prompter.texts(),
              QStringList{QStringLiteral("The Actual X box of end 2 does not hold a number. Type "
                                         "the number there and press Draw again.")});
    EXPECT_FALSE(setup->pictureView().namedLineVisible(Calibrate::kLineName));

    box("CalibrationLineXActual2")->setText(QStringLiteral("112.5"));
    QTest::mouseClick(draw, Qt::LeftButton);
    ASSERT_TRUE(setup->pictureView().namedLineVisible(Calibrate::kLineName));
    calibrate->close();
    EXPECT_FALSE(setup->pictureView().namedLineVisible(Calibrate::kLineName));
}
