#include "core/app/SkierNamesImport.h"

#include "core/common/Paths.h"
#include "core/common/TextFile.h"

namespace skelvin {

Result<QString> importSkierNames(const QString &sourcePath, const QString &appDir)
{
    const Result<QStringList> lines = readTextLines(sourcePath);
    if (!lines)
        return Result<QString>::failure(lines.error());
    const QString target = joinPath(appDir, QStringLiteral("SkierNames.txt"));
    if (const Failure f = writeTextLines(target, lines.value()))
        return Result<QString>::failure(*f);
    QString first = lines->value(0);
    first.replace(QLatin1Char(','), QLatin1Char(' '));
    return first;
}

} // namespace skelvin
