#pragma once

#include "core/app/SettingsStore.h"
#include "core/app/TournamentState.h"
#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/geometry/GridStore.h"
#include "core/logs/DebugLog.h"
#include "core/measure/ResultsFile.h"

#include <QString>

#include <array>
#include <memory>

namespace skelvin {

class Navigator;

// What the main screen shows for one grid: whether it is in use, its status picture and its
// description.
struct GridIndicator
{
    bool visible = false;
    QString picture;      // "SmallSmiley.jpg" (set up) or "SmallCaution.jpg" (not set up)
    QString description;
};

// Everything the screens share: the services of the run and the state handed between screens.
// Created once in main() (or by a test) and passed to every screen.
class AppContext
{
public:
    AppContext(Paths paths, Clock &clock, Prompter &prompter,
               std::unique_ptr<CaptureDevice> captureDevice);

    const Paths &paths() const { return m_paths; }
    Clock &clock() { return m_clock; }
    Prompter &prompter() { return m_prompter; }
    SettingsStore &settings() { return m_settings; }
    DebugLog &debugLog() { return m_debugLog; }
    ResultsFile &results() { return m_results; }
    GridStore &grids() { return m_grids; }
    TournamentState &tournament() { return m_tournament; }
    CaptureDevice &captureDevice() { return *m_captureDevice; }

    Navigator &navigator() { return *m_navigator; }
    void setNavigator(Navigator *navigator) { m_navigator = navigator; }

    // Where captured videos, saved pictures, the session log and the default results file go;
    // without a trailing separator.
    QString videoDirectory;
    QString sessionLogName;
    // Why a screen is being shown ("Setup", "SelectFrame", ...); empty once consumed.
    QString navigationTag;
    // Set while the configuration screen loads the grids named in the settings.
    bool startupGridLoad = false;
    std::array<GridIndicator, 3> gridIndicators;

    // Hand-over from capture to frame selection, and from frame selection to measuring.
    int contactFrame = 0;
    int capturedFrameCount = 0;
    double captureFrameRate = 0;
    bool startFocusPending = false;
    // The name the capture screen's skier name box proposes (set by the skier names import).
    QString captureSkierName;
    // The capture screen's attempt number box (it has already moved on to the next attempt).
    QString captureAttemptText;
    QString measuredVideoFile;
    int measuredFrame = 0;

private:
    Paths m_paths;
    Clock &m_clock;
    Prompter &m_prompter;
    SettingsStore m_settings;
    DebugLog m_debugLog;
    ResultsFile m_results;
    GridStore m_grids;
    TournamentState m_tournament;
    std::unique_ptr<CaptureDevice> m_captureDevice;
    Navigator *m_navigator = nullptr;
};

} // namespace skelvin
