#include "core/app/Navigator.h"

namespace skelvin {

QString screenTitle(ScreenId screen)
{
    switch (screen) {
    case ScreenId::Main: return QStringLiteral("Main screen");
    case ScreenId::Capture: return QStringLiteral("Capture Video");
    case ScreenId::FrameSelection: return QStringLiteral("Recorded Jump Videos");
    case ScreenId::GridSetup: return QStringLiteral("Grid Setup");
    case ScreenId::Measure: return QStringLiteral("Measure");
    case ScreenId::Config: return QStringLiteral("System Configuration");
    case ScreenId::Manual: return QStringLiteral("Manual");
    case ScreenId::VideoLog: return QStringLiteral("Video Log");
    case ScreenId::PictureLog: return QStringLiteral("Picture Log");
    case ScreenId::Results: return QStringLiteral("Results");
    case ScreenId::Calibrate: return QStringLiteral("Calibrate");
    case ScreenId::SelectSkier: return QStringLiteral("Select Skier");
    }
    return QString();
}

} // namespace skelvin
