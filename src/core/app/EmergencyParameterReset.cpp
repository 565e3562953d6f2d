#include "core/app/EmergencyParameterReset.h"

#include "core/common/SettingsStore.h"
#include "core/common/Prompter.h"

namespace skelvin {

namespace {

const QString kTitle = QStringLiteral("Emergency Parameter Reset");

bool ask(Prompter &prompter, const QString &text)
{
    return prompter.askYesNo(text, kTitle, MessageIcon::Question, Answer::No);
}

struct ResetKey
{
    const char *key;
    const char *label;
    const char *installValue;
};

// The compressor goes back to "none chosen" (-1), which the next start turns into Motion JPEG:
// list position 0 is "None", uncompressed frames far beyond what a disk takes at a camera's rate.
constexpr ResetKey kResetKeys[] = {
    {"logpath", "Logpath = ", ""},
    {"barefoot", "barefoot = ", "0"},
    {"compression", "compression = ", "-1"},
    {"device", "device = ", "0"},
    {"framerate", "framerate = ", "0"},
    {"grid1File", "Grid 1 File = ", ""},
    {"grid2File", "Grid 2 File = ", ""},
    {"grid3File", "Grid 3 File = ", ""},
};

} // namespace

void EmergencyParameterReset(SettingsStore &settings, Prompter &prompter)
{
    if (!ask(prompter, QStringLiteral("Do you want to reset all parameters to install values?")))
        return;
    if (!ask(prompter, QStringLiteral("Are you certain? This means you are crashing and can't operate")))
        return;

    for (const ResetKey &k : kResetKeys) {
        const QString key = QString::fromLatin1(k.key);
        const QString value = settings.read(key, 0);
        if (!ask(prompter, QString::fromLatin1(k.label) + value + QStringLiteral(" Clear it?")))
            continue;
        settings.write(key, QString::fromLatin1(k.installValue));
        if (key == QLatin1String("logpath"))
            settings.write(QStringLiteral("logfile"), QString());
    }
}

} // namespace skelvin
