#include "ui/common/ArrowKeyPoller.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace skelvin {

ArrowKeyPoller::ArrowKeyPoller(QWidget *screen)
    : QObject(screen), m_screen(screen), m_timer(new QTimer(screen))
{
    m_timer->setObjectName(QStringLiteral("keyTimer"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (const std::optional<ArrowKey> key = m_state.poll())
            emit stepped(*key);
    });
    QCoreApplication::instance()->installEventFilter(this);
}

ArrowKeyPoller::~ArrowKeyPoller()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool ArrowKeyPoller::running() const
{
    return m_timer->isActive();
}

bool ArrowKeyPoller::belongsToScreen(const QWidget *widget) const
{
    // A press made in another window (another screen, a viewer, a message box) is not meant
    // for this screen's marks.
    return widget->window() == m_screen->window();
}

void ArrowKeyPoller::startPolling()
{
    // Presses left over from the last time this screen had the keyboard are stale: polling
    // starts from the keys as they are now.
    if (!m_timer->isActive())
        m_state.releaseAll();
    m_timer->start();
}

bool ArrowKeyPoller::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A key event visits several objects on its way; widgets only, so each counts once.
        if (watched->isWidgetType() && !key->isAutoRepeat()) {
            if (const auto arrow = ArrowKeyState::fromQtKey(key->key())) {
                if (event->type() == QEvent::KeyRelease)
                    m_state.release(*arrow);
                else if (belongsToScreen(static_cast<QWidget *>(watched)))
                    m_state.press(*arrow);
            }
        }
        break;
    }
    case QEvent::ApplicationDeactivate:
        m_state.releaseAll();
        break;
    case QEvent::Show:
        if (watched == m_screen)
            startPolling();
        break;
    case QEvent::Hide:
        if (watched == m_screen)
            m_timer->stop();
        break;
    case QEvent::ActivationChange:
        // The timer runs only while the screen is in front.
        if (watched == m_screen) {
            if (m_screen->isActiveWindow())
                startPolling();
            else
                m_timer->stop();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skelvin
