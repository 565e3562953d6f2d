#include "core/common/SkierNamesFile.h"

#include "core/common/TextFile.h"

namespace skelvin {

QString SkierNamesFile::nameOf(const QString &line)
{
    return QString(line).replace(QLatin1Char(','), QLatin1Char(' '));
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
