#pragma once

#include <QString>

namespace skelvin {

// What the results viewer shows for a results file: its whole text as it stands now; "No
// results recorded yet" with the path when the file does not exist yet; the reason when it
// cannot be read. Leading blanks of the stored path are not part of the file name.
QString resultsViewerText(const QString &resultsFilePath);

inline const QString kNoResultsYetText = QStringLiteral("No results recorded yet");

} // namespace skelvin
