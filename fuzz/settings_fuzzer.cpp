#include "FuzzSupport.h"
#include "core/app/AppContext.h"
#include "core/app/Configuration.h"
#include "core/app/Startup.h"
#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "core/common/SettingsStore.h"

// Any bytes as the settings file, read the way start-up reads it: the configuration loaded into
// the tournament state (which also loads the grid files it names) and the frame rate settled.
SKELVIN_FUZZ_TARGET(settings_fuzzer)
{
    using namespace skelvin;
    const QString folder = fuzz::workFolder();
    const QString path = fuzz::writeInput(QStringLiteral("DE05.conf"), data, size);
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    fuzz::SilentPrompter prompter;
    AppContext context(Paths(folder, folder, path), clock, prompter, nullptr);
    context.videoDirectory = folder;
    Configuration(context).load();
    (void)startupFrameRateText(context.settings(), 30);
    return 0;
}
