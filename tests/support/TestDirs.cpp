#include "support/TestDirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace skelvin::test {

TestDirs::TestDirs(bool withExchangeDir) : m_temporary(std::in_place), m_path(m_temporary->path())
{
    makeFolders(withExchangeDir);
}

TestDirs::TestDirs(const QString &root, bool withExchangeDir) : m_path(root)
{
    makeFolders(withExchangeDir);
}

void TestDirs::makeFolders(bool withExchangeDir)
{
    QDir root(m_path);
    root.mkpath(QStringLiteral("app"));
    root.mkpath(QStringLiteral("drive"));
    root.mkpath(QStringLiteral("config"));
    if (withExchangeDir)
        root.mkpath(QStringLiteral("drive/qvio"));
}

Paths TestDirs::paths() const
{
    return Paths(file(QStringLiteral("app")), file(QStringLiteral("drive")),
                 file(QStringLiteral("config/DE05.conf")));
}

QString TestDirs::file(const QString &relative) const
{
    return m_path + QLatin1Char('/') + relative;
}

QString TestDirs::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

QByteArray TestDirs::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString TestDirs::writeFramePicture(const QColor &fill) const
{
    QImage frame(800, 600, QImage::Format_RGB888);
    frame.fill(fill);
    const QString path = paths().currentCapture();
    QDir().mkpath(QFileInfo(path).absolutePath());
    frame.save(path, "BMP");
    return path;
}

QString testData(const QString &relative)
{
    return QStringLiteral(SKELVIN_TEST_DATA_DIR) + QLatin1Char('/') + relative;
}

} // namespace skelvin::test
