#pragma once

#include <QString>

#include <optional>

namespace skelvin {

// How writes under a folder fail while a fault is set on it.
enum class FileFaultKind {
    DiskFull, // the disk has `bytesFree` bytes left; a write past them fails with ENOSPC
    ReadOnly, // a file cannot be opened for writing: EROFS
};

// Faults set on folders, consulted by the lowest layer of every file writer of the program
// (text files, pictures, recordings) before it touches the disk. Permission bits do not stop
// a process running as root, and a disk cannot be filled on demand, so this is how a full
// disk or a read-only medium is made to happen at a chosen moment. Nothing sets a fault in
// normal running; then every check is a look at an empty table.
//
// Shared by the interface thread and the recorder threads, so the table is locked.
class FileFaults
{
public:
    // From now on, writes to files in `folder` (and below it) fail as `kind` says. `folder`
    // may also name one file.
    static void set(const QString &folder, FileFaultKind kind, qint64 bytesFree = 0);
    // Lifts the fault of `folder`, or every fault when `folder` is empty.
    static void clear(const QString &folder = QString());

    // The errno that opening `path` for writing fails with (EROFS), 0 when it may be opened.
    static int openError(const QString &path);
    // How many of `wanted` bytes may be written to `path` now; fewer means the disk is full
    // and the write fails with ENOSPC after them. Counts the bytes granted against the
    // space left.
    static qint64 writable(const QString &path, qint64 wanted);

    // "No space left on device", "Read-only file system": the system's text for an errno.
    static QString reasonText(int errnum);
};

} // namespace skelvin
