#pragma once

#include <QString>

namespace skelvin {

// The free space of the disk the videos are recorded to, as frame selection shows it: the
// disk (the mount point holding the video directory), the whole millions of bytes free with
// the sign blank and " MB", and whether that is low (under 200 MB), which is a warning only.
struct DiskSpace
{
    QString drive;
    QString megabytesText; // " 1234 MB"
    qint64 megabytes = 0;
    bool low = false;

    static constexpr qint64 kLowMegabytes = 200;

    // A video directory that does not exist (yet) is looked up through its nearest existing
    // parent; with none at all the space reads as 0 MB, which is low.
    static DiskSpace of(const QString &videoDirectory);
    static DiskSpace fromBytes(const QString &drive, qint64 bytesFree);
};

} // namespace skelvin
