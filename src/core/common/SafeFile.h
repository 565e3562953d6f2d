#pragma once

#include "core/common/Result.h"

#include <QByteArray>
#include <QString>

namespace skelvin {

// The byte writers every file of the program goes through. None of them ever leaves a file
// half written: a whole file is written beside its place and renamed over it, an append is
// cut back when it does not go through whole. Every failure names the file and the reason
// ("/videos/JumpMeasurementResults120826.txt: No space left on device"). Each consults the
// fault table (`FileFaults`) first.

// Creates or replaces the file with these bytes, on disk before it takes the old file's place.
Failure replaceFileBytes(const QString &path, const QByteArray &bytes);

// Appends these bytes in one write, creating the file when missing, and has them on disk
// before returning. When the write fails the file is cut back to its length before.
Failure appendFileBytes(const QString &path, const QByteArray &bytes);

// Moves a file to `to`, replacing a file there in one step. Across file systems the bytes are
// copied (written beside `to` and renamed into place) and the original removed afterwards,
// so either the old file at `to` or the whole new one is there.
Failure moveFileOver(const QString &from, const QString &to);

} // namespace skelvin
