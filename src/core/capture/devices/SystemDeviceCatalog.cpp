#include "core/capture/devices/SystemDeviceCatalog.h"

#include "core/capture/devices/DeviceErrors.h"
#include "core/capture/devices/DeviceWatcher.h"
#include "core/capture/devices/FfmpegAudioSource.h"
#include "core/capture/devices/SystemV4l2Io.h"
#include "core/capture/devices/V4l2Camera.h"
#include "core/capture/devices/V4l2Device.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace skelvin {

namespace {

// The N of "/dev/videoN"; nodes without a number go last.
int nodeNumber(const QString &node)
{
    static const QRegularExpression kNumber(QStringLiteral("(\\d+)$"));
    const QRegularExpressionMatch match = kNumber.match(node);
    return match.hasMatch() ? match.captured(1).toInt() : INT_MAX;
}

bool nodeBefore(const QString &a, const QString &b)
{
    const int na = nodeNumber(a), nb = nodeNumber(b);
    return na != nb ? na < nb : a < b;
}

template <typename Device>
QStringList namesOf(const std::vector<Device> &devices)
{
    QStringList names;
    for (const Device &device : devices)
        names << device.name;
    return names;
}

} // namespace

SystemDeviceCatalog::SystemDeviceCatalog(Sources sources, QObject *parent)
    : DeviceCatalog(parent), m_sources(std::move(sources))
{
    QStringList nodes = m_sources.videoNodes ? m_sources.videoNodes() : QStringList();
    std::sort(nodes.begin(), nodes.end(), nodeBefore);
    for (const QString &node : nodes)
        if (std::optional<Camera> camera = readCamera(node))
            m_cameras.push_back(std::move(*camera));
    if (m_sources.soundDevices)
        m_soundDevices = m_sources.soundDevices();
}

std::optional<SystemDeviceCatalog::Camera>
SystemDeviceCatalog::readCamera(const QString &node) const
{
    if (!m_sources.io)
        return std::nullopt;
    V4l2Device device(m_sources.io, node);
    Camera camera;
    // A node that cannot be read now (held, or gone again) is left out; a camera is listed
    // when its capture node can be read.
    if (device.open() || device.readInfo(camera.info) || !camera.info.capturesVideo ||
        camera.info.formats.empty())
        return std::nullopt;
    camera.name = camera.info.name;
    const bool nameTaken = std::any_of(m_cameras.begin(), m_cameras.end(),
                                       [&](const Camera &c) { return c.name == camera.name; });
    if (nameTaken)
        camera.name = QStringLiteral("%1 (%2)").arg(camera.info.name, node);
    return camera;
}

int SystemDeviceCatalog::insertionIndex(const QString &node) const
{
    const auto at = std::find_if(m_cameras.begin(), m_cameras.end(),
                                 [&](const Camera &c) { return nodeBefore(node, c.info.path); });
    return int(at - m_cameras.begin());
}

QStringList SystemDeviceCatalog::videoDeviceNames() const
{
    return namesOf(m_cameras);
}

QStringList SystemDeviceCatalog::audioDeviceNames() const
{
    return namesOf(m_soundDevices);
}

std::unique_ptr<VideoSource> SystemDeviceCatalog::openVideo(int index, QString &error)
{
    if (index < 0 || index >= int(m_cameras.size())) {
        error = QStringLiteral("There is no video device %1").arg(index);
        return nullptr;
    }
    const Camera &listed = m_cameras[size_t(index)];
    auto device = std::make_unique<V4l2Device>(m_sources.io, listed.info.path);
    V4l2DeviceInfo info;
    int result = device->open();
    if (!result)
        result = device->readInfo(info);
    if (result) {
        error = deviceErrorText(listed.name, result);
        return nullptr;
    }
    if (!info.capturesVideo || info.formats.empty()) {
        error = QStringLiteral("%1 does not deliver pictures").arg(listed.name);
        return nullptr;
    }
    return std::make_unique<V4l2Camera>(std::move(device), std::move(info), listed.name);
}

std::unique_ptr<AudioSource> SystemDeviceCatalog::openAudio(int index, QString &error)
{
    if (index < 0 || index >= int(m_soundDevices.size())) {
        error = QStringLiteral("There is no audio device %1").arg(index);
        return nullptr;
    }
    return std::make_unique<FfmpegAudioSource>(m_soundDevices[size_t(index)]);
}

void SystemDeviceCatalog::videoNodeAdded(const QString &node)
{
    if (std::any_of(m_cameras.begin(), m_cameras.end(),
                    [&](const Camera &c) { return c.info.path == node; }))
        return;
    std::optional<Camera> camera = readCamera(node);
    if (!camera)
        return;
    const int index = insertionIndex(node);
    const QString name = camera->name;
    m_cameras.insert(m_cameras.begin() + index, std::move(*camera));
    emit videoDeviceChanged(0, index, name);
}

void SystemDeviceCatalog::videoNodeRemoved(const QString &node)
{
    const auto at = std::find_if(m_cameras.begin(), m_cameras.end(),
                                 [&](const Camera &c) { return c.info.path == node; });
    if (at == m_cameras.end())
        return;
    const int index = int(at - m_cameras.begin());
    const QString name = at->name;
    m_cameras.erase(at);
    emit videoDeviceChanged(1, index, name);
}

void SystemDeviceCatalog::soundDevicesChanged()
{
    if (!m_sources.soundDevices)
        return;
    const std::vector<SoundDevice> now = m_sources.soundDevices();
    const auto listedIn = [](const std::vector<SoundDevice> &list, const SoundDevice &device) {
        return std::find(list.begin(), list.end(), device) != list.end();
    };
    // Those gone first, each at its place in the list as it stands, then those come.
    for (size_t i = 0; i < m_soundDevices.size();) {
        if (listedIn(now, m_soundDevices[i])) {
            ++i;
            continue;
        }
        const QString name = m_soundDevices[i].name;
        m_soundDevices.erase(m_soundDevices.begin() + qsizetype(i));
        emit audioDeviceChanged(1, int(i), name);
    }
    for (size_t i = 0; i < now.size(); ++i) {
        if (listedIn(m_soundDevices, now[i]))
            continue;
        const size_t index = std::min(i, m_soundDevices.size());
        m_soundDevices.insert(m_soundDevices.begin() + qsizetype(index), now[i]);
        emit audioDeviceChanged(0, int(index), now[i].name);
    }
}

QStringList SystemDeviceCatalog::systemVideoNodes()
{
    QStringList nodes;
    const QDir dev(QStringLiteral("/dev"));
    static const QRegularExpression kVideoNode(QStringLiteral("^video\\d+$"));
    for (const QString &entry :
         dev.entryList({QStringLiteral("video*")}, QDir::System | QDir::Files))
        if (kVideoNode.match(entry).hasMatch())
            nodes << dev.filePath(entry);
    return nodes;
}

std::unique_ptr<DeviceCatalog> makeSystemDeviceCatalog()
{
    SystemDeviceCatalog::Sources sources;
    sources.io = std::make_shared<SystemV4l2Io>();
    sources.videoNodes = &SystemDeviceCatalog::systemVideoNodes;
    sources.soundDevices = [] { return SoundDevices::captureDevices(); };
    auto catalog = std::make_unique<SystemDeviceCatalog>(std::move(sources));
    auto *watcher = new DeviceWatcher(catalog.get());
    SystemDeviceCatalog *target = catalog.get();
    const auto pass = [target](bool added) {
        return [target, added](const QString &subsystem, const QString &node) {
            if (subsystem != QLatin1String("video4linux"))
                target->soundDevicesChanged();
            else if (added)
                target->videoNodeAdded(node);
            else
                target->videoNodeRemoved(node);
        };
    };
    QObject::connect(watcher, &DeviceWatcher::added, target, pass(true));
    QObject::connect(watcher, &DeviceWatcher::removed, target, pass(false));
    return catalog;
}

} // namespace skelvin
