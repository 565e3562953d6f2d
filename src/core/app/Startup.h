#pragma once

#include <QString>

#include <optional>

namespace skelvin {

class AppContext;
class Prompter;
class SettingsStore;

// The part of the start-up that comes before the capture controls: the debug log is started
// and the emergency reset of the settings is offered.
void startDebugLogAndOfferReset(AppContext &context);

// Makes sure the video directory names an existing folder: the stored "logpath" when it does,
// otherwise the operator is asked until an existing folder is named. Returns the text for the
// video directory box, or nothing when the operator cancelled (the program then ends: without a
// video directory nothing can be recorded). Stores the answer under "logpath".
std::optional<QString> settleVideoDirectory(SettingsStore &settings, Prompter &prompter);

// Opens the day's session log in the video directory with its start line and records its name
// under "logfile". A session log that cannot be written is told to the operator.
void openDaySessionLog(AppContext &context);

// The capture class label for a frame-rate text: 5 or more "Normal/C", 15 or more "L",
// 25 or more "R"; below 5 the label keeps its text.
QString frameRateLabel(const QString &frameRateText, const QString &currentLabel);

// The frame rate the start-up puts into the frame-rate box: the stored "framerate" rounded to a
// whole number, or the capture device's own rate when that is below 1.
QString startupFrameRateText(SettingsStore &settings, double deviceFrameRate);

} // namespace skelvin
