#pragma once

#include "core/common/Result.h"

#include <QString>
#include <QStringList>

namespace skelvin {

// Text files of the system: written in UTF-8 with CR LF line ends. Readers accept CR LF and
// LF alone, and take a line that is not valid UTF-8 as Windows-1252, so files written by older
// installations still load.
Result<QStringList> readTextLines(const QString &path);

// Creates or replaces the file with these lines, each ended by CR LF. The lines are written to
// a file beside it and renamed into place once on disk, so a write that fails or is cut off
// leaves the old file whole.
Failure writeTextLines(const QString &path, const QStringList &lines);

// Appends these lines (each ended by CR LF) to the file, creating it when missing, and has
// them on disk before returning. The lines go out in one write; when it fails the file is cut
// back to its length before, so it always ends with a whole line.
Failure appendTextLines(const QString &path, const QStringList &lines);

// Decodes one line read from a file: UTF-8 when valid, Windows-1252 otherwise.
QString decodeLine(const QByteArray &bytes);

// Decodes bytes of the Windows-1252 code page.
QString decodeCp1252(const QByteArray &bytes);

} // namespace skelvin
