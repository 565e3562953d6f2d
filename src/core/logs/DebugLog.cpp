#include "core/logs/DebugLog.h"

#include "core/common/Clock.h"
#include "core/common/Paths.h"
#include "core/common/PrintLine.h"
#include "core/common/Prompter.h"
#include "core/common/TextFile.h"

namespace skelvin {

const QString DebugLog::kFailureText =
    QStringLiteral("Error occurred while trying to close file, please retry.");

DebugLog::DebugLog(const Paths &paths, const Clock &clock, Prompter &prompter)
    : m_paths(paths), m_clock(clock), m_prompter(prompter)
{
}

QString DebugLog::path() const
{
    return m_paths.debugLog();
}

void DebugLog::DebugLogStart()
{
    write(QStringLiteral("Debug Log Session Started"), true);
}

void DebugLog::DebugLogWrite(const QString &message)
{
    write(message, false);
}

void DebugLog::write(const QString &message, bool replace)
{
    const QString line = PrintLine().item(m_clock.timeText()).zone().item(message).text();
    const Failure failure = replace ? writeTextLines(path(), {line})
                                    : appendTextLines(path(), {line});
    if (failure && !m_failureShown) {
        m_failureShown = true;
        m_prompter.inform(kFailureText, MessageIcon::Exclamation);
    }
}

} // namespace skelvin
