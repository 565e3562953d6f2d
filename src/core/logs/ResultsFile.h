#pragma once

#include "core/common/Result.h"

#include <QString>
#include <QStringList>

namespace skelvin {

class Prompter;

// The day's results file: the journal of every measured jump, grid set-up and configuration
// change. Every writer appends its lines and closes the file; the lines are on disk before the
// call returns. When the file cannot be written the operator is told, with the path and the
// reason, and the caller learns that nothing was recorded.
class ResultsFile
{
public:
    ResultsFile(QString path, Prompter &prompter);

    const QString &path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Appends the lines; false (after telling the operator) when they could not be written.
    bool append(const QStringList &lines);
    bool append(const QString &line) { return append(QStringList{line}); }

    // The default name in a video directory: "JumpMeasurementResults" + MMDDYY + ".txt".
    static QString defaultPath(const QString &videoDirectory, const QString &dateText);

    // The message shown when an append fails.
    static QString failureText(const QString &reason);

private:
    QString m_path;
    Prompter &m_prompter;
};

} // namespace skelvin
