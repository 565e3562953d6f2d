#include "ui/grid_setup/Calibrate.h"

#include "core/app/AppContext.h"
#include "core/common/NumberText.h"
#include "core/grid_setup/CalibrationLine.h"
#include "ui/common/Named.h"
#include "ui/common/PictureView.h"

#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace skelvin {

// The line lives apart from each picture's drawings, so removing it leaves the picture and the
// markers exactly as they were.
const QString Calibrate::kLineName = QStringLiteral("calibrationLine");

Calibrate::Calibrate(AppContext &context, PictureView &setupPicture, PictureView &measurePicture,
                     QWidget *parent)
    : QWidget(parent, Qt::Window), m_context(context), m_setupPicture(setupPicture),
      m_measurePicture(measurePicture)
{
    setObjectName(QStringLiteral("Calibrate"));
    setWindowTitle(QStringLiteral("Calibration Assistant"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(named(new QLabel(QStringLiteral("Actual")), "CalibrationLineActualLabel"), 0, 1, 1, 2);
    grid->addWidget(named(new QLabel(QStringLiteral("Screen")), "CalibrationLineScreenLabel"), 0, 3, 1, 2);
    const char *actualNames[2][2] = {{"CalibrationLineXActual", "CalibrationLineYActual"},
                                     {"CalibrationLineXActual2", "CalibrationLineYActual2"}};
    const char *twipsNames[2][2] = {{"CalibrationLineXTwips", "CalibrationLineYTwips"},
                                    {"CalibrationLineXTwips2", "CalibrationLineYTwips2"}};
    for (int end = 0; end < 2; ++end) {
        grid->addWidget(new QLabel(end == 0 ? QStringLiteral("End 1") : QStringLiteral("End 2")), end + 1, 0);
        for (int axis = 0; axis < 2; ++axis) {
            m_actual[end][axis] = box(actualNames[end][axis]);
            m_twips[end][axis] = box(twipsNames[end][axis]);
            grid->addWidget(m_actual[end][axis], end + 1, 1 + axis);
            grid->addWidget(m_twips[end][axis], end + 1, 3 + axis);
        }
    }
    m_units = named(new QPushButton(QStringLiteral("Actual")), "CalibrationLineUnitsSelect");
    auto *draw = named(new QPushButton(QStringLiteral("Draw")), "CalibrateLineDrawCommand");
    auto *erase = named(new QPushButton(QStringLiteral("Erase")), "CalibrationLineErase");
    auto *exit = named(new QPushButton(QStringLiteral("E&xit")), "formexit");
    grid->addWidget(m_units, 3, 0);
    grid->addWidget(draw, 3, 1);
    grid->addWidget(erase, 3, 2);
    grid->addWidget(exit, 3, 4);
    connect(m_units, &QPushButton::clicked, this, [this] {
        m_units->setText(m_units->text() == QLatin1String("Actual") ? QStringLiteral("Screen")
                                                                    : QStringLiteral("Actual"));
    });
    connect(draw, &QPushButton::clicked, this, &Calibrate::CalibrateLineDrawCommand_Click);
    connect(erase, &QPushButton::clicked, this, &Calibrate::CalibrationLineErase_Click);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);
}

QLineEdit *Calibrate::box(const char *name)
{
    auto *edit = named(new QLineEdit, name);
    edit->setMinimumWidth(90);
    return edit;
}

bool Calibrate::boxesHoldNumbers(QLineEdit *const (&boxes)[2][2], const QString &kind)
{
    for (int end = 0; end < 2; ++end) {
        for (int axis = 0; axis < 2; ++axis) {
            double value = 0;
            if (parseNumberField(boxes[end][axis]->text(), &value))
                continue;
            // A box read as 0 would draw the line somewhere the operator never asked for.
            m_context.prompter().inform(
                QStringLiteral("The %1 %2 box of end %3 does not hold a number. Type the number "
                               "there and press Draw again.")
                    .arg(kind, axis == 0 ? QStringLiteral("X") : QStringLiteral("Y"))
                    .arg(end + 1),
                MessageIcon::Exclamation);
            boxes[end][axis]->setFocus();
            return false;
        }
    }
    return true;
}

void Calibrate::hideEvent(QHideEvent *event)
{
    // The line belongs to this window: closing it takes the line off both pictures.
    if (!event->spontaneous())
        CalibrationLineErase_Click();
    QWidget::hideEvent(event);
}

void Calibrate::CalibrateLineDrawCommand_Click()
{
    const GridTransform &t = m_context.grids().active().transform;
    const bool fromActual = m_units->text() == QLatin1String("Actual");
    if (!boxesHoldNumbers(fromActual ? m_actual : m_twips,
                          fromActual ? QStringLiteral("Actual") : QStringLiteral("Screen")))
        return;
    if (fromActual) {
        const std::array<SurveyPoint, 2> actual = {
            SurveyPoint{Val(m_actual[0][0]->text()), Val(m_actual[0][1]->text())},
            SurveyPoint{Val(m_actual[1][0]->text()), Val(m_actual[1][1]->text())}};
        const auto screen = actualToScreen(t, actual);
        if (!screen) {
            m_context.prompter().inform(QStringLiteral("One end of the line has no place on this picture; "
                                                       "check the survey values and the grid."),
                                        MessageIcon::Exclamation);
            return;
        }
        for (int end = 0; end < 2; ++end) {
            m_twips[end][0]->setText(CStr((*screen)[static_cast<size_t>(end)].x));
            m_twips[end][1]->setText(CStr((*screen)[static_cast<size_t>(end)].y));
        }
    } else {
        const std::array<ScreenPoint, 2> screen = {
            ScreenPoint{Val(m_twips[0][0]->text()), Val(m_twips[0][1]->text())},
            ScreenPoint{Val(m_twips[1][0]->text()), Val(m_twips[1][1]->text())}};
        const auto actual = screenToActual(t, screen);
        if (!actual) {
            m_context.prompter().inform(QStringLiteral("One end of the line lies where the grid cannot map "
                                                       "the picture onto the water."),
                                        MessageIcon::Exclamation);
            return;
        }
        for (int end = 0; end < 2; ++end) {
            m_actual[end][0]->setText(CStr((*actual)[static_cast<size_t>(end)].x));
            m_actual[end][1]->setText(CStr((*actual)[static_cast<size_t>(end)].y));
        }
    }
    const ScreenPoint from{Val(m_twips[0][0]->text()), Val(m_twips[0][1]->text())};
    const ScreenPoint to{Val(m_twips[1][0]->text()), Val(m_twips[1][1]->text())};
    for (PictureView *picture : {&m_measurePicture, &m_setupPicture}) {
        picture->setNamedLine(kLineName, from, to, m_context.tournament().impactColour);
        picture->setNamedLineVisible(kLineName, true);
    }
}

void Calibrate::CalibrationLineErase_Click()
{
    m_measurePicture.setNamedLineVisible(kLineName, false);
    m_setupPicture.setNamedLineVisible(kLineName, false);
}

} // namespace skelvin
