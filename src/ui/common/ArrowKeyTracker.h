#pragma once

#include "core/common/ArrowKeyState.h"

#include <QObject>

namespace skelvin {

// Watches every key press and release the application sees and keeps the state of the four
// arrow keys, for the screens' key timers to poll.
class ArrowKeyTracker : public QObject
{
    Q_OBJECT

public:
    explicit ArrowKeyTracker(QObject *parent = nullptr);
    ~ArrowKeyTracker() override;

    ArrowKeyState &state() { return m_state; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ArrowKeyState m_state;
};

} // namespace skelvin
