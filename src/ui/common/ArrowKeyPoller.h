#pragma once

#include "core/common/ArrowKeyState.h"

#include <QObject>

class QTimer;
class QWidget;

namespace skelvin {

// The arrow-key polling of a screen: watches every key press and release the application sees,
// and while the screen is shown and active looks at the arrow keys every 100 ms, reporting at
// most one key a tick (the first held, in the order Left, Up, Right, Down). Only presses made
// while this screen had the keyboard count, and polling forgets every press when it starts.
class ArrowKeyPoller : public QObject
{
    Q_OBJECT

public:
    // The timer is a child of the screen, named "keyTimer".
    explicit ArrowKeyPoller(QWidget *screen);
    ~ArrowKeyPoller() override;

    bool running() const;

signals:
    void stepped(skelvin::ArrowKey key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToScreen(const QWidget *widget) const;
    void startPolling();

    QWidget *m_screen;
    QTimer *m_timer;
    ArrowKeyState m_state;
};

} // namespace skelvin
