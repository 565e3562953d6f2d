#pragma once

#include "core/common/Result.h"

#include <QString>
#include <QStringList>

namespace skelvin {

// "SkierNames.txt" in the application directory: one skier a line, a comma standing for a
// blank ("Doe, Jane" is the skier "Doe  Jane"). The capture screen proposes its first line,
// the skier list shows every line that is not empty, and the main screen's import writes it.
class SkierNamesFile
{
public:
    static inline const QString kFileName = QStringLiteral("SkierNames.txt");

    // A line of the file as a skier's name: every comma becomes a blank, nothing else changes.
    static QString nameOf(const QString &line);
    // A name given elsewhere (the scoring program's "Doe, Jane", quotes and all) as a skier's
    // name the capture screen accepts: blanks and quotes around it removed, commas as blanks.
    static QString nameOfQuoted(const QString &text);

    // Every line that is not empty, as names, in file order; the reason when the file cannot
    // be read.
    static Result<QStringList> readNames(const QString &path);
    // The skiers of the measure screen's list from a skier name file chosen on the
    // configuration screen: each line with its quotes removed, commas as blanks and trimmed;
    // lines left empty skipped. Empty when the file cannot be read.
    static QStringList readListNames(const QString &path);

    // The name of the first line; empty when that line is empty or the file cannot be read.
    static QString firstName(const QString &path);
};

} // namespace skelvin
