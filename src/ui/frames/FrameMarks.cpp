#include "ui/frames/FrameMarks.h"

#include <QPainter>
#include <QPolygonF>
#include <QStyle>

namespace skelvin {

FrameMarks::FrameMarks(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(10);
}

void FrameMarks::setFrameCount(int frames)
{
    m_frames = frames;
    update();
}

void FrameMarks::setMarks(int suggestedFrame, int pressedFrame)
{
    m_suggested = suggestedFrame;
    m_pressed = pressedFrame;
    update();
}

double FrameMarks::xOf(int frame) const
{
    // Where the slider's handle stands for the frame: the groove is the width less a handle.
    const int handle = style()->pixelMetric(QStyle::PM_SliderLength);
    const double span = std::max(1, width() - handle);
    return handle / 2.0 + (m_frames > 1 ? span * frame / (m_frames - 1) : 0.0);
}

void FrameMarks::paintEvent(QPaintEvent *)
{
    if (m_frames <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto mark = [&](int frame, const QColor &colour) {
        if (frame < 0 || frame >= m_frames)
            return;
        const double x = xOf(frame);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygonF({QPointF(x, 0), QPointF(x - 5, height()), QPointF(x + 5, height())}));
    };
    mark(m_pressed, QColor(230, 140, 0));
    mark(m_suggested, QColor(0, 160, 60));
}

} // namespace skelvin
