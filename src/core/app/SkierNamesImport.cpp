#include "core/app/SkierNamesImport.h"

#include "core/common/Paths.h"
#include "core/common/SkierNamesFile.h"
#include "core/common/TextFile.h"

namespace skelvin {

Result<QString> importSkierNames(const QString &sourcePath, const QString &appDir)
{
    const Result<QStringList> lines = readTextLines(sourcePath);
    if (!lines)
        return Result<QString>::failure(lines.error());
    const QString target = joinPath(appDir, SkierNamesFile::kFileName);
    if (const Failure f = writeTextLines(target, lines.value()))
        return Result<QString>::failure(*f);
    return SkierNamesFile::nameOf(lines->value(0));
}

} // namespace skelvin
