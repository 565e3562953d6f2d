#include "core/app/AppContext.h"

#include "core/capture/CaptureControl.h"
#include "core/capture/devices/EmptyDeviceCatalog.h"

namespace skelvin {

AppContext::AppContext(Paths paths, Clock &clock, Prompter &prompter,
                       std::unique_ptr<CaptureDevice> captureDevice)
    : m_paths(std::move(paths)), m_clock(clock), m_prompter(prompter),
      m_settings(m_paths.settingsFile()), m_debugLog(m_paths, clock, prompter),
      m_results(QString(), prompter), m_captureDevice(std::move(captureDevice))
{
    if (!m_captureDevice)
        m_captureDevice = std::make_unique<CaptureControl>(std::make_unique<EmptyDeviceCatalog>());
}

GridFileServices AppContext::gridFileServices()
{
    return {m_prompter, m_clock, m_debugLog,   m_results,
            m_settings, m_grids, m_tournament, gridIndicators};
}

PictureKeeper AppContext::pictureKeeper()
{
    return PictureKeeper({m_prompter, m_clock, m_debugLog, m_results, m_tournament, m_paths,
                          handOver, videoDirectory, sessionLogPath});
}

ResultRecorder AppContext::resultRecorder()
{
    return ResultRecorder({m_prompter, m_clock, m_results, m_grids, m_tournament, m_paths});
}

} // namespace skelvin
