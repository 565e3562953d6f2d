#include "ui/common/DragHandle.h"

#include <QMouseEvent>

namespace skelvin {

DragHandle::DragHandle(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setCursor(Qt::SizeAllCursor);
    // Handles carry light text by default; a dark ground keeps them readable anywhere.
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(60, 64, 72));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    setMargin(2);
}

void DragHandle::addToGroup(QWidget *member)
{
    m_group.append(member);
}

void DragHandle::mousePressEvent(QMouseEvent *event)
{
    m_pressPosition = event->position().toPoint();
    m_dragging = true;
}

void DragHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint shift = event->position().toPoint() - m_pressPosition;
    move(pos() + shift);
    for (QWidget *member : std::as_const(m_group)) {
        if (member)
            member->move(member->pos() + shift);
    }
}

void DragHandle::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

} // namespace skelvin
