#pragma once

#include <QString>

namespace skelvin {

// Where the system's files live on this machine. Every path is built with "/".
class Paths
{
public:
    Paths(QString appDir, QString driveRoot, QString settingsFile);

    // Default locations: ~/.local/share/DE05, "/", ~/.config/DE05/DE05.conf.
    static Paths defaults();

    // Application directory: skier names, manual, status pictures, the frame picture, Loupe/.
    const QString &appDir() const { return m_appDir; }
    // Root of the drive that holds the exchange directory.
    const QString &driveRoot() const { return m_driveRoot; }
    const QString &settingsFile() const { return m_settingsFile; }

    // <drive root>/qvio, shared with the scoring program; never created by the system.
    QString exchangeDir() const;
    // <drive root>/qvio/DebugLog.txt
    QString debugLog() const;
    // A file of the application directory, e.g. appFile("SkierNames.txt").
    QString appFile(const QString &name) const;
    // The frame picture handed from frame selection to the measure and grid setup screens.
    QString currentCapture() const;

private:
    QString m_appDir;
    QString m_driveRoot;
    QString m_settingsFile;
};

// A directory text trimmed of blanks and of one trailing separator ("/" or "\\").
QString withoutTrailingSeparator(const QString &directory);

// Joins a directory and a name with exactly one "/" between them.
QString joinPath(const QString &directory, const QString &name);

} // namespace skelvin
