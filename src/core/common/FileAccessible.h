#pragma once

#include <QString>

namespace skelvin {

// Whether the length of a file can be read without an error: the file exists, is a file and
// can be opened for reading.
bool FileAccessible(const QString &path);

} // namespace skelvin
