#include "core/common/Paths.h"

#include <QDir>

namespace skelvin {

Paths::Paths(QString appDir, QString driveRoot, QString settingsFile)
    : m_appDir(std::move(appDir)), m_driveRoot(std::move(driveRoot)),
      m_settingsFile(std::move(settingsFile))
{
}

Paths Paths::defaults()
{
    const QString home = QDir::homePath();
    return Paths(home + QStringLiteral("/.local/share/DE05"), QStringLiteral("/"),
                 home + QStringLiteral("/.config/DE05/DE05.conf"));
}

QString withoutTrailingSeparator(const QString &directory)
{
    QString dir = directory.trimmed();
    if (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    return dir;
}

QString joinPath(const QString &directory, const QString &name)
{
    if (directory.isEmpty())
        return name;
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

QString Paths::exchangeDir() const
{
    return joinPath(m_driveRoot, QStringLiteral("qvio"));
}

QString Paths::debugLog() const
{
    return joinPath(exchangeDir(), QStringLiteral("DebugLog.txt"));
}

QString Paths::appFile(const QString &name) const
{
    return joinPath(m_appDir, name);
}

QString Paths::currentCapture() const
{
    return appFile(QStringLiteral("currentcapture.bmp"));
}

} // namespace skelvin
