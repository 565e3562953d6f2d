#include "core/common/SkierNamesFile.h"

#include "core/common/TextFile.h"

namespace skelvin {

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
    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return Result<QStringList>::failure(lines.error());
    QStringList names;
    for (const QString &line : lines.value()) {
        if (!line.isEmpty())
            names << nameOf(line);
    }
    return names;
}

QString SkierNamesFile::firstName(const QString &path)
{
    const Result<QStringList> lines = readTextLines(path);
    return lines ? nameOf(lines->value(0)) : QString();
}

} // namespace skelvin
