#include "core/capture/SimulatedDeviceCatalog.h"

#include "core/capture/SimulatedDevices.h"

namespace skelvin {

SimulatedDeviceCatalog::SimulatedDeviceCatalog(QString sceneFile, QObject *parent)
    : DeviceCatalog(parent), m_sceneFile(std::move(sceneFile))
{
}

QStringList SimulatedDeviceCatalog::videoDeviceNames() const
{
    return {kSimulatedCameraName};
}

QStringList SimulatedDeviceCatalog::audioDeviceNames() const
{
    return {kSimulatedMicrophoneName};
}

std::unique_ptr<VideoSource> SimulatedDeviceCatalog::openVideo(int index, QString &error)
{
    if (index != 0) {
        error = QStringLiteral("There is no capture device %1").arg(index);
        return nullptr;
    }
    return makeSimulatedCamera(m_sceneFile, error);
}

std::unique_ptr<AudioSource> SimulatedDeviceCatalog::openAudio(int index, QString &error)
{
    if (index != 0) {
        error = QStringLiteral("There is no audio device %1").arg(index);
        return nullptr;
    }
    return makeSimulatedMicrophone(m_sceneFile, error);
}

} // namespace skelvin
