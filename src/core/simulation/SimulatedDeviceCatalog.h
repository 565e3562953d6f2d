#pragma once

#include "core/capture/devices/DeviceCatalog.h"

#include <QString>

#include <memory>

namespace skelvin {

// The simulated camera and microphone: what the program offers with --simulated-camera
// ("instead of a real one") and what skelvin-tool capture --simulated records from. Given the
// machine's catalogue, its devices come first and the simulated ones last (skelvin-tool
// devices lists them so); the program itself never mixes the two, so that a stored device
// index can never stand for a made-up camera.
class SimulatedDeviceCatalog : public DeviceCatalog
{
public:
    explicit SimulatedDeviceCatalog(QString sceneFile = {},
                                    std::unique_ptr<DeviceCatalog> machine = nullptr,
                                    QObject *parent = nullptr);

    QStringList videoDeviceNames() const override;
    QStringList audioDeviceNames() const override;
    std::unique_ptr<VideoSource> openVideo(int index, QString &error) override;
    std::unique_ptr<AudioSource> openAudio(int index, QString &error) override;

private:
    QString m_sceneFile;
    std::unique_ptr<DeviceCatalog> m_machine;
};

} // namespace skelvin
