#include "support/TestDirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace skelvin::test {

TestDirs::TestDirs(bool withExchangeDir)
{
    QDir root(m_root.path());
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
    return m_root.path() + QLatin1Char('/') + relative;
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

QString testData(const QString &relative)
{
    return QStringLiteral(SKELVIN_TEST_DATA_DIR) + QLatin1Char('/') + relative;
}

} // namespace skelvin::test
