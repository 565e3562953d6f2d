#pragma once

#include <QString>

namespace skelvin {

enum PathKind { PathFile = 0, PathFolder = 1, PathDrive = 2 };

// Whether a file (kind 0), a folder (kind 1) or a drive (kind 2: a mounted root such as "/"
// or a mount point) exists; any other kind answers false.
bool PathExists(const QString &path, int kind);

} // namespace skelvin
