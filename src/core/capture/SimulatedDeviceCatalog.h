#pragma once

#include "core/capture/DeviceCatalog.h"

#include <QString>

namespace skelvin {

// Only the simulated camera and microphone: what the program offers with --simulated-camera
// ("instead of a real one") and what skelvin-tool capture --simulated records from.
class SimulatedDeviceCatalog : public DeviceCatalog
{
public:
    explicit SimulatedDeviceCatalog(QString sceneFile = {}, QObject *parent = nullptr);

    QStringList videoDeviceNames() const override;
    QStringList audioDeviceNames() const override;
    std::unique_ptr<VideoSource> openVideo(int index, QString &error) override;
    std::unique_ptr<AudioSource> openAudio(int index, QString &error) override;

private:
    QString m_sceneFile;
};

} // namespace skelvin
