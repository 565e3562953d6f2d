#include "core/common/FileAccessible.h"

#include <QFile>
#include <QFileInfo>

namespace skelvin {

bool FileAccessible(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace skelvin
