#include "core/logs/SessionLogListing.h"

#include "core/common/FileAccessible.h"
#include "core/common/TextFile.h"

namespace skelvin {

namespace {

const QString kFileField = QStringLiteral("File:");

} // namespace

SessionLogListing::SessionLogListing(QString type) : m_type(std::move(type)) {}

bool SessionLogListing::names(const QString &line, const QString &type)
{
    return line.right(3) == type;
}

QString SessionLogListing::filePath(const QString &line)
{
    const qsizetype field = line.indexOf(kFileField);
    if (field < 0)
        return QString();
    // "File:" and the blank after it.
    return line.mid(field + kFileField.size() + 1);
}

qsizetype SessionLogListing::longestLine(const QStringList &lines)
{
    qsizetype longest = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (longest < 0 || lines[i].size() > lines[longest].size())
            longest = i;
    }
    return longest;
}

FileDialogRequest SessionLogListing::logDialog(const QString &videoDirectory)
{
    FileDialogRequest request;
    request.startDirectory = videoDirectory;
    request.filters = parseFilterText(QStringLiteral("*.txt|JumpMeasurementLog*.txt"));
    return request;
}

bool SessionLogListing::fill(const QString &path)
{
    m_lines.clear();
    if (!FileAccessible(path))
        return false;
    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return false;
    for (const QString &line : lines.value()) {
        if (names(line, m_type))
            m_lines << line;
    }
    return true;
}

void SessionLogListing::openAtStart(const QString &sessionLogPath)
{
    if (fill(sessionLogPath))
        m_logPath = sessionLogPath;
}

void SessionLogListing::choose(const std::optional<QString> &chosenLog)
{
    if (chosenLog)
        m_logPath = *chosenLog;
    fill(m_logPath);
}

void SessionLogListing::select(qsizetype row)
{
    m_chosenLine = row >= 0 && row < m_lines.size() ? m_lines[row] : QString();
    m_chosenFile = filePath(m_chosenLine);
}

} // namespace skelvin
