#pragma once

#include <QString>
#include <QStringList>

namespace skelvin {

// Splits one line into comma-delimited fields the way the system's text files are read:
// leading blanks of a field are skipped, a field ends at a comma or at the end of the line,
// and a field that starts with a double quote runs to the closing quote (the quotes are not
// part of the field; what follows the closing quote up to the next comma is dropped).
QStringList splitDelimitedFields(const QString &line);

} // namespace skelvin
