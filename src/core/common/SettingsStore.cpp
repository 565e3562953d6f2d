#include "core/common/SettingsStore.h"

#include "core/common/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace skelvin {

namespace {
const QString kSection = QStringLiteral("Settings");
}

SettingsStore::SettingsStore(const QString &filePath)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    m_settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::filePath() const
{
    return m_settings->fileName();
}

QString SettingsStore::storedKey(const QString &key) const
{
    m_settings->beginGroup(kSection);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    for (const QString &k : keys) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return k;
    }
    return key;
}

bool SettingsStore::contains(const QString &key) const
{
    return m_settings->contains(kSection + QLatin1Char('/') + storedKey(key));
}

QString SettingsStore::gridFileKey(int n)
{
    return QStringLiteral("grid%1File").arg(n);
}

QString SettingsStore::defaultText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return CStr(value.toDouble());
    default:
        return value.toString();
    }
}

QString SettingsStore::read(const QString &key, const QVariant &defaultValue) const
{
    const QString full = kSection + QLatin1Char('/') + storedKey(key);
    if (!m_settings->contains(full))
        return defaultText(defaultValue);
    return m_settings->value(full).toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(kSection + QLatin1Char('/') + storedKey(key), value);
    sync();
}

void SettingsStore::write(const QString &key, int value)
{
    write(key, QString::number(value));
}

void SettingsStore::writeFlag(const QString &key, bool value)
{
    write(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

double SettingsStore::readNumber(const QString &key, double defaultValue) const
{
    return Val(read(key, defaultValue));
}

int SettingsStore::readInt(const QString &key, int defaultValue) const
{
    const double v = readNumber(key, defaultValue);
    if (!std::isfinite(v) || v < -32768.0 || v > 32767.0)
        return defaultValue; // the store's whole numbers are small list positions and counts
    return static_cast<int>(roundHalfEven(v));
}

bool SettingsStore::flagFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return Val(t) != 0.0;
}

bool SettingsStore::readFlag(const QString &key, bool defaultValue) const
{
    return flagFromText(read(key, defaultValue));
}

void SettingsStore::sync()
{
    m_settings->sync();
    QFile::setPermissions(m_settings->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace skelvin
