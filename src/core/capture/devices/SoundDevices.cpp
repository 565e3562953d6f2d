#include "core/capture/devices/SoundDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace skelvin {

namespace {

struct PcmEntry
{
    int card = 0;
    int device = 0;
    QString name;
    bool playback = false;
    bool capture = false;
};

// Lines of /proc/asound/pcm, e.g.
//   "00-00: ALC887-VD Analog : ALC887-VD Analog : playback 1 : capture 1"
std::vector<PcmEntry> readPcmEntries(const QString &path)
{
    std::vector<PcmEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    static const QRegularExpression kHead(QStringLiteral("^(\\d+)-(\\d+):"));
    // The kernel's file is small; a bounded read keeps a strange one from costing much.
    const QList<QByteArray> lines = file.read(1 << 16).split('\n');
    for (const QByteArray &rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine);
        const QRegularExpressionMatch head = kHead.match(line);
        if (!head.hasMatch())
            continue;
        const QStringList fields = line.mid(head.capturedLength()).split(QStringLiteral(" : "));
        PcmEntry entry;
        entry.card = head.captured(1).toInt();
        entry.device = head.captured(2).toInt();
        entry.name = fields.value(1, fields.value(0)).trimmed();
        if (entry.name.isEmpty())
            entry.name = fields.value(0).trimmed();
        for (const QString &field : fields) {
            entry.playback =
                entry.playback || field.trimmed().startsWith(QLatin1String("playback"));
            entry.capture = entry.capture || field.trimmed().startsWith(QLatin1String("capture"));
        }
        entries.push_back(entry);
    }
    return entries;
}

// Card names from /proc/asound/cards, e.g. " 1 [C920 ]: USB-Audio - HD Pro Webcam C920".
std::map<int, QString> readCardNames(const QString &path)
{
    std::map<int, QString> names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return names;
    static const QRegularExpression kCard(
        QStringLiteral("^\\s*(\\d+)\\s+\\[[^\\]]*\\]:\\s*\\S+\\s+-\\s+(.*)$"));
    const QList<QByteArray> lines = file.read(1 << 16).split('\n');
    for (const QByteArray &line : lines)
        if (const QRegularExpressionMatch card = kCard.match(QString::fromUtf8(line));
            card.hasMatch())
            names[card.captured(1).toInt()] = card.captured(2).trimmed();
    return names;
}

bool pulseRuns(const QString &socketPath)
{
    return !qEnvironmentVariableIsEmpty("PULSE_SERVER") ||
           (!socketPath.isEmpty() && QFileInfo::exists(socketPath));
}

} // namespace

QString SoundDevices::pulseSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pulse/native");
}

std::vector<SoundDevice> SoundDevices::captureDevices()
{
    return captureDevices(procPcmPath(), pulseSocketPath());
}

std::vector<SoundDevice> SoundDevices::captureDevices(const QString &procPcmPath,
                                                      const QString &pulseSocketPath)
{
    std::vector<SoundDevice> devices;
    if (pulseRuns(pulseSocketPath))
        devices.push_back(
            {kPulseDefaultSourceName, QStringLiteral("pulse"), QStringLiteral("default")});
    std::vector<PcmEntry> entries = readPcmEntries(procPcmPath);
    std::erase_if(entries, [](const PcmEntry &e) { return !e.capture; });
    // A card is named as the kernel names it ("HD Pro Webcam C920"); a card with more than one
    // capture device adds the device's name.
    const std::map<int, QString> cardNames =
        readCardNames(QFileInfo(procPcmPath).dir().filePath(QStringLiteral("cards")));
    QStringList names;
    for (const PcmEntry &entry : entries) {
        const QString card = cardNames.count(entry.card) ? cardNames.at(entry.card) : QString();
        const bool oneOnCard =
            std::count_if(entries.begin(), entries.end(),
                          [&](const PcmEntry &e) { return e.card == entry.card; }) == 1;
        if (card.isEmpty())
            names << entry.name;
        else if (oneOnCard || entry.name.isEmpty())
            names << card;
        else
            names << QStringLiteral("%1: %2").arg(card, entry.name);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString hw = QStringLiteral("hw:%1,%2").arg(entries[i].card).arg(entries[i].device);
        // Two cards of one make give the same name; the card and device numbers tell them apart.
        const QString name = names.count(names[qsizetype(i)]) > 1 || names[qsizetype(i)].isEmpty()
                                 ? QStringLiteral("%1 (%2)").arg(names[qsizetype(i)], hw).trimmed()
                                 : names[qsizetype(i)];
        // plughw converts the sample rate, channels and sample size the card does not take.
        devices.push_back({name, QStringLiteral("alsa"), QStringLiteral("plug") + hw});
    }
    return devices;
}

bool SoundDevices::hasOutput()
{
    return hasOutput(procPcmPath(), pulseSocketPath());
}

bool SoundDevices::hasOutput(const QString &procPcmPath, const QString &pulseSocketPath)
{
    if (pulseRuns(pulseSocketPath))
        return true;
    const std::vector<PcmEntry> entries = readPcmEntries(procPcmPath);
    return std::any_of(entries.begin(), entries.end(),
                       [](const PcmEntry &e) { return e.playback; });
}

} // namespace skelvin
