#pragma once

#include <QString>
#include <QStringList>

namespace skelvin {

// The files the program brings into its application directory at first start: the grid status
// pictures and the operator's manual. Missing ones are put in place; existing ones are left
// alone, so an operator's own pictures or manual survive.
class ShippedFiles
{
public:
    static QStringList names();

    // Creates the directory when needed and installs the files that are missing.
    // Returns the problems met (empty when all is in place).
    static QStringList installMissing(const QString &appDir);
};

} // namespace skelvin
