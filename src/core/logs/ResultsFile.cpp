#include "core/logs/ResultsFile.h"

#include "core/common/Clock.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/common/TextFile.h"

namespace skelvin {

ResultsFile::ResultsFile(QString path, Prompter &prompter)
    : m_path(std::move(path)), m_prompter(prompter)
{
}

QString ResultsFile::failureText(const QString &reason)
{
    return QStringLiteral("The results file could not be written, nothing was recorded.\n") + reason;
}

bool ResultsFile::append(const QStringList &lines)
{
    Failure failure;
    if (m_path.trimmed().isEmpty())
        failure = QStringLiteral("No results file is set: enter one on the configuration screen.");
    else
        failure = appendTextLines(m_path, lines);
    if (!failure)
        return true;
    m_prompter.inform(failureText(*failure), MessageIcon::Critical, QStringLiteral("Results File"));
    return false;
}

QString ResultsFile::defaultPath(const QString &videoDirectory, const QString &dateText)
{
    return withoutTrailingSeparator(videoDirectory) + QStringLiteral("/JumpMeasurementResults") + dayStamp(dateText) + QStringLiteral(".txt");
}

} // namespace skelvin
