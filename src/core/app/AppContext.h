#pragma once

#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "core/common/JumpHandOver.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/common/SettingsStore.h"
#include "core/common/TournamentState.h"
#include "core/geometry/GridStore.h"
#include "core/grid_setup/GridFileCommands.h"
#include "core/grid_setup/GridIndicator.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"
#include "core/measure/PictureKeeper.h"
#include "core/measure/ResultRecorder.h"

#include <QString>

#include <array>
#include <memory>

namespace skelvin {

class Navigator;

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

    // The narrow services of the core's commands, drawn from this context.
    GridFileServices gridFileServices();
    PictureKeeper pictureKeeper();
    ResultRecorder resultRecorder();

    Navigator &navigator() { return *m_navigator; }
    void setNavigator(Navigator *navigator) { m_navigator = navigator; }

    // Where captured videos, saved pictures, the session log and the default results file go;
    // without a trailing separator.
    QString videoDirectory;
    QString sessionLogName;
    // The session log opened at start-up; every picture and video line of the run goes there.
    QString sessionLogPath;
    // Why a screen is being shown ("Setup", "SelectFrame", ...); empty once consumed.
    QString navigationTag;
    // The simulated camera is chosen whatever device is stored (--simulated-camera).
    bool simulatedCamera = false;
    // Set while the configuration screen loads the grids named in the settings.
    bool startupGridLoad = false;
    GridIndicators gridIndicators;
    JumpHandOver handOver;

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
