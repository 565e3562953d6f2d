#pragma once

#include "core/common/Paths.h"

#include <QColor>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace skelvin::test {

// A throwaway application directory, drive root (with or without its qvio exchange directory)
// and settings file for one test.
class TestDirs
{
public:
    explicit TestDirs(bool withExchangeDir = true);
    // The same folders under a root that outlives this object (kept between runs).
    explicit TestDirs(const QString &root, bool withExchangeDir = true);

    Paths paths() const;
    QString root() const { return m_path; }
    QString file(const QString &relative) const;
    // Writes a file under the root (creating folders) and returns its full path.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &path);
    // The frame picture the measure and grid setup screens open (currentcapture.bmp in the
    // application directory): 800 x 600, one colour. Returns its path.
    QString writeFramePicture(const QColor &fill = QColor(20, 60, 120)) const;

private:
    void makeFolders(bool withExchangeDir);

    std::optional<QTemporaryDir> m_temporary;
    QString m_path;
};

// Where the test fixtures live (tests/data).
QString testData(const QString &relative);

} // namespace skelvin::test
