#pragma once

#include "core/capture/devices/DeviceCatalog.h"
#include "core/capture/devices/SoundDevices.h"
#include "core/capture/devices/V4l2DeviceInfo.h"
#include "core/capture/devices/V4l2Io.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace skelvin {

// The machine's cameras (every V4L2 node that delivers pictures, in /dev/videoN order) and its
// sound capture devices; never the simulated ones (those come with --simulated-camera). News of devices plugged in or pulled out updates the lists and is passed on as
// videoDeviceChanged/audioDeviceChanged.
class SystemDeviceCatalog : public DeviceCatalog
{
    Q_OBJECT
public:
    // Where the catalogue looks; tests put a made-up camera and sound card behind these.
    struct Sources
    {
        std::shared_ptr<V4l2Io> io;
        std::function<QStringList()> videoNodes; // "/dev/video0", ... in any order
        std::function<std::vector<SoundDevice>()> soundDevices;
    };

    explicit SystemDeviceCatalog(Sources sources, QObject *parent = nullptr);

    QStringList videoDeviceNames() const override;
    QStringList audioDeviceNames() const override;
    std::unique_ptr<VideoSource> openVideo(int index, QString &error) override;
    std::unique_ptr<AudioSource> openAudio(int index, QString &error) override;

    // News of the device watcher: a video node came or went, a sound device came or went.
    void videoNodeAdded(const QString &node);
    void videoNodeRemoved(const QString &node);
    void soundDevicesChanged();

    // The /dev/video* nodes of the machine.
    static QStringList systemVideoNodes();

private:
    struct Camera
    {
        QString name; // as listed: the card's name, with its node when another has that name
        V4l2DeviceInfo info;
    };

    // The camera at `node`, when it delivers pictures in a format that can be taken.
    std::optional<Camera> readCamera(const QString &node) const;
    // Where a camera at `node` belongs in /dev/videoN order.
    int insertionIndex(const QString &node) const;

    Sources m_sources;
    std::vector<Camera> m_cameras;
    std::vector<SoundDevice> m_soundDevices;
};

// The catalogue of this machine, following devices plugged in and pulled out through udev.
std::unique_ptr<DeviceCatalog> makeSystemDeviceCatalog();

} // namespace skelvin
