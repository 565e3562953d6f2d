#include "core/app/Startup.h"

#include "core/app/AppContext.h"
#include "core/app/EmergencyParameterReset.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/common/PathExists.h"
#include "core/logs/SessionLog.h"

namespace skelvin {

void startDebugLogAndOfferReset(AppContext &context)
{
    context.debugLog().DebugLogStart();
    context.debugLog().DebugLogWrite(QStringLiteral("MainForm Load"));
    EmergencyParameterReset(context.settings(), context.prompter());
}

std::optional<QString> settleVideoDirectory(SettingsStore &settings, Prompter &prompter)
{
    const QString stored = settings.read(QStringLiteral("logpath"));
    if (!stored.isEmpty() && PathExists(stored, PathFolder)) {
        settings.write(QStringLiteral("logpath"), stored);
        return stored;
    }
    const InputRequest request{
        QStringLiteral("No Correct Save Video Directory has been set.  Please put in the path of "
                       "the Save Video Directory here."),
        QStringLiteral("Input Save Video Files Path"), QString()};
    while (true) {
        const std::optional<QString> answer = prompter.input(request);
        if (!answer)
            return std::nullopt;
        if (PathExists(withoutTrailingSeparator(*answer), PathFolder)) {
            settings.write(QStringLiteral("logpath"), *answer);
            return *answer;
        }
        prompter.inform(QStringLiteral("You entered an invalid path - try  again"));
    }
}

void openDaySessionLog(AppContext &context)
{
    const SessionStart start = openSessionLog(context.videoDirectory, context.clock());
    // The run keeps writing to this file, even when it writes after midnight.
    context.sessionLogPath = start.path;
    if (start.failure) {
        context.prompter().inform(
            QStringLiteral("The session log could not be written.\n") + *start.failure,
            MessageIcon::Exclamation);
        return;
    }
    if (start.logName.isEmpty())
        return;
    context.sessionLogName = start.logName;
    context.settings().write(QStringLiteral("logfile"), start.logName);
}

QString frameRateLabel(const QString &frameRateText, const QString &currentLabel)
{
    const double rate = Val(frameRateText);
    if (rate >= 25)
        return QStringLiteral("Currently Configured for R");
    if (rate >= 15)
        return QStringLiteral("Currently Configured for L");
    if (rate >= 5)
        return QStringLiteral("Currently Configured for Normal/C");
    return currentLabel;
}

QString startupFrameRateText(SettingsStore &settings, double deviceFrameRate)
{
    const double stored = roundHalfEven(settings.readNumber(QStringLiteral("framerate"), 0));
    if (stored < 1)
        return CStr(deviceFrameRate);
    return CStr(stored);
}

} // namespace skelvin
