#include "core/measure/ResultsViewerText.h"

#include "core/common/TextFile.h"

#include <QFileInfo>

namespace skelvin {

QString resultsViewerText(const QString &resultsFilePath)
{
    QString path = resultsFilePath;
    while (path.startsWith(QLatin1Char(' ')))
        path.remove(0, 1);
    if (path.trimmed().isEmpty())
        return QStringLiteral("No results file is set: enter one on the configuration screen.");
    if (!QFileInfo::exists(path))
        return kNoResultsYetText + QStringLiteral("\n\nResults file: ") + path;

    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return QStringLiteral("The results file could not be read.\n\n") + lines.error();
    QString text;
    for (const QString &line : *lines)
        text += line + QLatin1Char('\n');
    return text;
}

} // namespace skelvin
