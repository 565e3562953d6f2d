#include "core/common/ArrowKeyState.h"

#include <Qt>

namespace skelvin {

void ArrowKeyState::press(ArrowKey key)
{
    m_down[index(key)] = true;
    m_pressedSincePoll[index(key)] = true;
}

void ArrowKeyState::release(ArrowKey key)
{
    m_down[index(key)] = false;
}

void ArrowKeyState::releaseAll()
{
    for (int i = 0; i < 4; ++i)
        m_down[i] = m_pressedSincePoll[i] = false;
}

std::optional<ArrowKey> ArrowKeyState::poll()
{
    std::optional<ArrowKey> result;
    for (int i = 0; i < 4; ++i) {
        if (!result && (m_down[i] || m_pressedSincePoll[i]))
            result = static_cast<ArrowKey>(i);
        m_pressedSincePoll[i] = false;
    }
    return result;
}

std::pair<double, double> ArrowKeyState::step(ArrowKey key, double distance)
{
    switch (key) {
    case ArrowKey::Left: return {-distance, 0};
    case ArrowKey::Up: return {0, -distance};
    case ArrowKey::Right: return {distance, 0};
    case ArrowKey::Down: return {0, distance};
    }
    return {0, 0};
}

std::optional<ArrowKey> ArrowKeyState::fromQtKey(int key)
{
    switch (key) {
    case Qt::Key_Left: return ArrowKey::Left;
    case Qt::Key_Up: return ArrowKey::Up;
    case Qt::Key_Right: return ArrowKey::Right;
    case Qt::Key_Down: return ArrowKey::Down;
    default: return std::nullopt;
    }
}

} // namespace skelvin
