#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>

namespace skelvin {

// A label the operator drags to move itself and a group of controls with it (controls placed
// freely, outside any layout).
class DragHandle : public QLabel
{
    Q_OBJECT

public:
    explicit DragHandle(const QString &caption, QWidget *parent = nullptr);

    void addToGroup(QWidget *member);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QList<QPointer<QWidget>> m_group;
    QPoint m_pressPosition;
    bool m_dragging = false;
};

} // namespace skelvin
