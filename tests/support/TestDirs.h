#pragma once

#include "core/common/Paths.h"

#include <QString>
#include <QTemporaryDir>

namespace skelvin::test {

// A throwaway application directory, drive root (with or without its qvio exchange directory)
// and settings file for one test.
class TestDirs
{
public:
    explicit TestDirs(bool withExchangeDir = true);

    Paths paths() const;
    QString root() const { return m_root.path(); }
    QString file(const QString &relative) const;
    // Writes a file under the root (creating folders) and returns its full path.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &path);

private:
    QTemporaryDir m_root;
};

// Where the test fixtures live (tests/data).
QString testData(const QString &relative);

} // namespace skelvin::test
