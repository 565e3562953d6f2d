#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

namespace skelvin {

// Every value the system keeps from one run to the next: text values under section
// "Settings" of the per-user store of application "DE05". Keys are matched without regard to
// case; each write reaches the disk at once; the file is private to the user (mode 0600).
class SettingsStore
{
public:
    explicit SettingsStore(const QString &filePath);
    ~SettingsStore();

    // The stored text, or the default turned into text when the key is missing:
    // numbers as plain decimals ("0", "-1"), flags as True or False, text as it is.
    QString read(const QString &key, const QVariant &defaultValue = QString()) const;
    void write(const QString &key, const QString &value);
    void write(const QString &key, int value);
    void writeFlag(const QString &key, bool value); // True / False

    // Typed reads.
    double readNumber(const QString &key, double defaultValue) const;
    int readInt(const QString &key, int defaultValue) const;
    // True/False words, or a number where 0 is false.
    bool readFlag(const QString &key, bool defaultValue) const;

    bool contains(const QString &key) const;
    QString filePath() const;

    // The key that names the grid setup file of grid n: "grid1File", "grid2File", "grid3File".
    static QString gridFileKey(int n);

    // Text of a default value as the store writes it.
    static QString defaultText(const QVariant &value);
    // The flag a stored text means: "True"/"False" (any case), or a number (0 false).
    static bool flagFromText(const QString &text);

private:
    // The name the key is stored under, matched without regard to case; the key itself when new.
    QString storedKey(const QString &key) const;
    void sync();

    std::unique_ptr<QSettings> m_settings;
};

} // namespace skelvin
