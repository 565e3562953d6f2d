#pragma once

#include <QString>

namespace skelvin {

// The full screens and viewers the main screen leads to.
enum class ScreenId {
    Main,
    Capture,
    FrameSelection,
    GridSetup,
    Measure,
    Config,
    Manual,
    VideoLog,
    PictureLog,
    Results,
    Calibrate,
    SelectSkier,
};

// How one screen brings up another. Full screens hide the main screen while they are in front;
// the log viewers open on top of it.
class Navigator
{
public:
    virtual ~Navigator() = default;
    virtual void show(ScreenId screen) = 0;
    // Puts a screen away; when it was the one in front, the main screen comes back.
    virtual void hide(ScreenId screen) = 0;
};

QString screenTitle(ScreenId screen);

} // namespace skelvin
