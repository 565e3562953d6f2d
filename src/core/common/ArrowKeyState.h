#pragma once

#include <optional>
#include <utility>

namespace skelvin {

enum class ArrowKey { Left, Up, Right, Down };

// The arrow keys as a timer sees them: which are held down, and which were pressed since the
// last look. Fed with key presses and releases; polled by the screens' 100 ms key timers.
class ArrowKeyState
{
public:
    void press(ArrowKey key);
    void release(ArrowKey key);
    void releaseAll();

    // The first key, in the order Left, Up, Right, Down, that is down or was pressed since the
    // previous poll; nothing when none. Forgets the presses seen.
    std::optional<ArrowKey> poll();

    // The move one press of a key stands for: left and up are negative.
    static std::pair<double, double> step(ArrowKey key, double distance);

    // Qt key codes to arrow keys.
    static std::optional<ArrowKey> fromQtKey(int key);

private:
    static int index(ArrowKey key) { return static_cast<int>(key); }
    bool m_down[4] = {};
    bool m_pressedSincePoll[4] = {};
};

} // namespace skelvin
