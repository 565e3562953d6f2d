#include "ui/common/AccuracyMapSwitch.h"

#include "core/app/AppContext.h"
#include "core/common/Prompter.h"
#include "core/geometry/GridStore.h"
#include "ui/common/PictureView.h"

namespace skelvin {

namespace {

const QString kNoGridText = QStringLiteral(
    "The accuracy map needs a completed grid: complete the grid, or load a grid file that was "
    "saved after it was completed.");

bool samePoint(ScreenPoint a, ScreenPoint b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

bool AccuracyMapSwitch::Inputs::operator==(const Inputs &o) const
{
    return transform.c == o.transform.c && jump.x == o.jump.x && jump.y == o.jump.y &&
           type == o.type && size == o.size &&
           std::equal(outline.begin(), outline.end(), o.outline.begin(), samePoint);
}

AccuracyMapSwitch::AccuracyMapSwitch(AppContext &context, PictureView &picture)
    : m_context(context), m_picture(picture)
{
    setObjectName(QStringLiteral("btnAccuracyMap"));
    setText(QStringLiteral("Accuracy Map"));
    setToolTip(
        QStringLiteral("Colour the landing area by the grade the accuracy check gives there"));
    setCheckable(true);
    connect(this, &QToolButton::toggled, this, &AccuracyMapSwitch::toggledTo);
    picture.addToBar(this);
}

AccuracyMapSwitch::Inputs AccuracyMapSwitch::currentInputs() const
{
    const GridStore &grids = m_context.grids();
    return {grids.active().transform, grids.distanceJump(), m_context.tournament().tournamentType,
            AccuracyMap::outlineOf(grids.active()), m_picture.pictureSize()};
}

void AccuracyMapSwitch::toggledTo(bool on)
{
    if (!on) {
        m_picture.clearOverlay();
        m_shown.reset();
        return;
    }
    if (!usableTransform(m_context.grids().active().transform)) {
        const QSignalBlocker blocker(this);
        setChecked(false);
        m_context.prompter().inform(kNoGridText, MessageIcon::Exclamation);
        return;
    }
    refresh();
}

void AccuracyMapSwitch::refresh()
{
    if (!isChecked())
        return;
    const Inputs inputs = currentInputs();
    if (m_shown && *m_shown == inputs)
        return;
    if (!usableTransform(inputs.transform)) {
        // The grid on show was never completed: nothing to grade.
        m_map = AccuracyMap();
        m_picture.clearOverlay();
        m_shown = inputs;
        return;
    }
    m_map = AccuracyMap::compute(inputs.transform, inputs.jump, inputs.type, inputs.outline,
                                 inputs.size);
    m_picture.setOverlay(m_map.overlay(), AccuracyMap::legend());
    m_shown = inputs;
}

} // namespace skelvin
