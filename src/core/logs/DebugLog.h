#pragma once

#include "core/common/Paths.h"

#include <QString>

namespace skelvin {

class Clock;
class Prompter;

// The trace of screen changes, grid steps and capture steps, in <drive root>/qvio/DebugLog.txt,
// emptied at every start. A failure to write is told to the operator once per run and then
// ignored: the trace must never stop the operator's work.
class DebugLog
{
public:
    DebugLog(const Paths &paths, const Clock &clock, Prompter &prompter);

    // Creates or empties the log and writes its start line.
    void DebugLogStart();
    // Appends one time-stamped line.
    void DebugLogWrite(const QString &message);

    QString path() const;

    static const QString kFailureText;

private:
    void write(const QString &message, bool replace);

    const Paths m_paths;
    const Clock &m_clock;
    Prompter &m_prompter;
    bool m_failureShown = false;
};

} // namespace skelvin
