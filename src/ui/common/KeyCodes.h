#pragma once

class QKeyEvent;

namespace skelvin {

// The key code a screen shows for a key: the codes operators know from the keyboard (letters
// and digits as their capitals, 27 for Esc, 13 for Enter, 37 to 40 for the arrows, 96 to 105
// for the numeric keypad's digits).
int keyCode(const QKeyEvent *event);

} // namespace skelvin
