#include "core/capture/SoundDevices.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
    const std::vector<PcmEntry> entries = readPcmEntries(procPcmPath);
    for (const PcmEntry &entry : entries) {
        if (!entry.capture)
            continue;
        const QString hw = QStringLiteral("hw:%1,%2").arg(entry.card).arg(entry.device);
        // Two cards of one make give the same name; the card and device numbers tell them apart.
        const bool sameName = std::count_if(entries.begin(), entries.end(), [&](const PcmEntry &e) {
                                  return e.capture && e.name == entry.name;
                              }) > 1;
        // plughw converts the sample rate, channels and sample size the card does not take.
        devices.push_back({sameName || entry.name.isEmpty()
                               ? QStringLiteral("%1 (%2)").arg(entry.name, hw).trimmed()
                               : entry.name,
                           QStringLiteral("alsa"), QStringLiteral("plug") + hw});
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
