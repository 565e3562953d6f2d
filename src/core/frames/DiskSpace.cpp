#include "core/frames/DiskSpace.h"

#include "core/common/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace skelvin {

DiskSpace DiskSpace::fromBytes(const QString &drive, qint64 bytesFree)
{
    DiskSpace d;
    d.drive = drive;
    d.megabytes = std::max<qint64>(0, bytesFree) / 1000000;
    d.megabytesText = Str(double(d.megabytes)) + QStringLiteral(" MB");
    d.low = d.megabytes < kLowMegabytes;
    return d;
}

DiskSpace DiskSpace::of(const QString &videoDirectory)
{
    QString existing = videoDirectory.trimmed();
    while (!existing.isEmpty() && !QFileInfo(existing).isDir()) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            break;
        existing = parent;
    }
    const QStorageInfo storage(existing.isEmpty() ? QDir::rootPath() : existing);
    if (!storage.isValid() || !storage.isReady())
        return fromBytes(existing, 0);
    // What this user may still write: space reserved for the system does not take videos.
    return fromBytes(storage.rootPath(), storage.bytesAvailable());
}

} // namespace skelvin
