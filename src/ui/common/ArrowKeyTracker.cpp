#include "ui/common/ArrowKeyTracker.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace skelvin {

ArrowKeyTracker::ArrowKeyTracker(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ArrowKeyTracker::~ArrowKeyTracker()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool ArrowKeyTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Each key event is delivered to several objects on its way; count it once, at a widget.
        if (watched->isWidgetType() && !key->isAutoRepeat()) {
            if (const auto arrow = ArrowKeyState::fromQtKey(key->key())) {
                if (event->type() == QEvent::KeyPress)
                    m_state.press(*arrow);
                else
                    m_state.release(*arrow);
            }
        }
    } else if (event->type() == QEvent::ApplicationDeactivate) {
        m_state.releaseAll();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skelvin
