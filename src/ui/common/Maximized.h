#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace skelvin {

// Lets a screen fill the monitor: shown maximized, and sized to the monitor's free area
// beforehand for desktops whose window manager does not maximize.
inline void showMaximizedWhenShown(QWidget *screen)
{
    if (const QScreen *monitor = QGuiApplication::primaryScreen())
        screen->setGeometry(monitor->availableGeometry());
    screen->setWindowState(screen->windowState() | Qt::WindowMaximized);
}

} // namespace skelvin
