#pragma once

#include "core/capture/devices/AudioSource.h"
#include "core/capture/devices/VideoSource.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace skelvin {

// The video and audio devices of the machine, in the order the panel lists them, and news of
// devices plugged in or pulled out. `SystemDeviceCatalog` lists the V4L2 cameras and the
// ALSA/PulseAudio devices; `SimulatedDeviceCatalog` the simulated camera and microphone.
class DeviceCatalog : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceCatalog() override = default;

    virtual QStringList videoDeviceNames() const = 0;
    virtual QStringList audioDeviceNames() const = 0;

    // Opens device `index` of the lists above; null with the reason in `error` when it cannot.
    virtual std::unique_ptr<VideoSource> openVideo(int index, QString &error) = 0;
    virtual std::unique_ptr<AudioSource> openAudio(int index, QString &error) = 0;

signals:
    // change 0: arrived, 1: removed. `index` is the device's position in its list (after the
    // change for an arrival, before it for a removal).
    void videoDeviceChanged(int change, int index, const QString &name);
    void audioDeviceChanged(int change, int index, const QString &name);
};

// Device-list change events of the capture control.
inline const QString kVideoSourcesCategory = QStringLiteral("Video Capture Sources");
inline const QString kAudioSourcesCategory = QStringLiteral("Audio Capture Sources");

} // namespace skelvin
