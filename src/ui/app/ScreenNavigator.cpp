#include "ui/app/ScreenNavigator.h"

#include "core/common/Prompter.h"

#include <QEvent>

namespace skelvin {

ScreenNavigator::ScreenNavigator(Prompter &prompter) : m_prompter(prompter)
{
}

void ScreenNavigator::registerScreen(ScreenId id, QWidget *screen, std::function<void()> open)
{
    m_screens.insert(static_cast<int>(id), screen);
    if (id != ScreenId::Main && !isViewer(id))
        screen->installEventFilter(this);
    if (open)
        m_openers.insert(static_cast<int>(id), std::move(open));
}

void ScreenNavigator::registerViewer(ScreenId id, ViewerFactory make)
{
    m_viewerFactories.insert(static_cast<int>(id), std::move(make));
}

QWidget *ScreenNavigator::screen(ScreenId id) const
{
    return m_screens.value(static_cast<int>(id));
}

bool ScreenNavigator::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched->isWidgetType()) {
        // Screens with a way back of their own take it on a close; a screen that refused to
        // close (the operator chose to stay) stays in front.
        const QPointer<QWidget> closed = static_cast<QWidget *>(watched);
        QMetaObject::invokeMethod(
            this,
            [this, closed] {
                if (closed && closed->isVisible())
                    return;
                if (!fullScreenShown())
                    show(ScreenId::Main);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

bool ScreenNavigator::fullScreenShown() const
{
    return frontScreen() != nullptr;
}

QWidget *ScreenNavigator::frontScreen() const
{
    for (auto it = m_screens.cbegin(); it != m_screens.cend(); ++it) {
        if (it.value() && it.value()->isVisible() && !isViewer(static_cast<ScreenId>(it.key())))
            return it.value();
    }
    return nullptr;
}

bool ScreenNavigator::isViewer(ScreenId id)
{
    return id == ScreenId::VideoLog || id == ScreenId::PictureLog || id == ScreenId::Results
           || id == ScreenId::Calibrate || id == ScreenId::SelectSkier;
}

void ScreenNavigator::hide(ScreenId id)
{
    QWidget *target = screen(id);
    if (!target || !target->isVisible())
        return;
    target->hide();
    if (!isViewer(id))
        show(ScreenId::Main);
}

void ScreenNavigator::show(ScreenId id)
{
    const int key = static_cast<int>(id);
    if (const auto make = m_viewerFactories.constFind(key); make != m_viewerFactories.cend()) {
        if (QWidget *open = screen(id))
            open->close();
        QWidget *viewer = (*make)(frontScreen());
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        m_screens.insert(key, viewer);
    }
    QWidget *target = screen(id);
    if (!target) {
        m_prompter.inform(QStringLiteral("The %1 screen is not available in this version of Skelvin.")
                              .arg(screenTitle(id)),
                          MessageIcon::Information);
        return;
    }
    if (!isViewer(id)) {
        // One full screen at a time: everything else steps back.
        for (auto it = m_screens.cbegin(); it != m_screens.cend(); ++it) {
            QWidget *other = it.value();
            if (other && other != target && !isViewer(static_cast<ScreenId>(it.key())))
                other->hide();
        }
    }
    if (const auto opener = m_openers.constFind(static_cast<int>(id)); opener != m_openers.cend())
        (*opener)();
    else
        target->show();
    target->raise();
    target->activateWindow();
}

} // namespace skelvin
