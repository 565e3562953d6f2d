#pragma once

#include "core/common/Result.h"

#include <QString>

namespace skelvin {

// Copies a list of skier names into "SkierNames.txt" of the application directory, replacing
// it. Returns the first line with every comma turned into a blank ("Doe,Jane" gives
// "Doe Jane"), the name the capture screen proposes first.
Result<QString> importSkierNames(const QString &sourcePath, const QString &appDir);

} // namespace skelvin
