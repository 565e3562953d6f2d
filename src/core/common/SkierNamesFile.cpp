#include "core/common/SkierNamesFile.h"

#include "core/common/TextFile.h"

namespace skelvin {

namespace {

// Every line of the file as a name by `nameOfLine`, in file order; names left empty skipped.
template <typename Rule> Result<QStringList> namesOf(const QString &path, Rule nameOfLine)
{
    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return Result<QStringList>::failure(lines.error());
    QStringList names;
    for (const QString &line : lines.value()) {
        const QString name = nameOfLine(line);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

} // namespace

QString SkierNamesFile::nameOf(const QString &line)
{
    return QString(line).replace(QLatin1Char(','), QLatin1Char(' '));
}

QString SkierNamesFile::nameOfQuoted(const QString &text)
{
    QString name = text.trimmed();
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    return nameOf(name.trimmed());
}

Result<QStringList> SkierNamesFile::readNames(const QString &path)
{
    // A comma becomes a blank, so a line that is not empty never gives an empty name.
    return namesOf(path, &SkierNamesFile::nameOf);
}

QStringList SkierNamesFile::readListNames(const QString &path)
{
    const Result<QStringList> names = namesOf(path, [](const QString &line) {
        return nameOf(QString(line).remove(QLatin1Char('"'))).trimmed();
    });
    return names ? names.value() : QStringList();
}

QString SkierNamesFile::firstName(const QString &path)
{
    const Result<QStringList> lines = readTextLines(path);
    return lines ? nameOf(lines->value(0)) : QString();
}

} // namespace skelvin
