#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QString>
#include <QTimer>

#include <functional>

namespace skelvin {

class VideoPump;

// The capture control's still grabs of the newest frame: the panel's still file with its
// options (numbered, captioned), the measure screen's frame picture, and AutoSave, which writes
// a still every Interval while a camera is connected with its preview on.
//
// What it needs of the control comes through hooks, read at the moment of use, so a camera
// connected or gone is never seen stale.
class StillGrabber
{
public:
    struct Hooks
    {
        std::function<VideoPump *()> pump; // the connected camera's, or none
        std::function<bool()> previewing;  // the preview runs
        std::function<bool()> recording;   // a jump is being recorded
        std::function<void(const QString &)> statusText;
        std::function<void(const QString &)> warning;
    };

    explicit StillGrabber(Hooks hooks);

    QString stillFile() const { return m_stillFile; }
    void setStillFile(const QString &path) { m_stillFile = path; }
    const StillOptions &options() const { return m_options; }
    void setOptions(const StillOptions &options);

    // AutoSave runs while it is on with an Interval, a camera is connected and its preview runs;
    // the control calls this after any change of those: it starts AutoSave, restarts it at a new
    // Interval, or stops it.
    void updateAutoSave();
    void stopAutoSave();
    // How often AutoSave writes a still now; 0 while it is idle.
    int autoSaveIntervalMs() const;

    // The newest frame to the still file with the still options.
    CaptureFailure grabStill();
    // The newest frame to the measure screen's picture `path`, plain (no numbering, no caption).
    CaptureFailure grabFramePicture(const QString &path);

private:
    CaptureFailure writeNewestPicture(const QString &path, const StillOptions &options,
                                      QString &written);
    void autoSaveTick();

    Hooks m_hooks;
    QString m_stillFile;
    QString m_framePicture; // the measure screen's picture: still grabs leave it alone
    StillOptions m_options;
    QTimer m_autoSaveTimer;
};

} // namespace skelvin
