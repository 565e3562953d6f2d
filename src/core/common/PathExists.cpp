#include "core/common/PathExists.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace skelvin {

bool PathExists(const QString &path, int kind)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    switch (kind) {
    case PathFile:
        return info.exists() && info.isFile();
    case PathFolder:
        return info.exists() && info.isDir();
    case PathDrive: {
        const QStorageInfo storage(path);
        return storage.isValid() && storage.isReady()
               && QFileInfo(storage.rootPath()).canonicalFilePath() == info.canonicalFilePath();
    }
    default:
        return false;
    }
}

} // namespace skelvin
