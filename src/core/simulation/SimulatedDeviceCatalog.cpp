#include "core/simulation/SimulatedDeviceCatalog.h"

#include "core/simulation/SimulatedDevices.h"

namespace skelvin {

SimulatedDeviceCatalog::SimulatedDeviceCatalog(QString sceneFile,
                                               std::unique_ptr<DeviceCatalog> machine,
                                               QObject *parent)
    : DeviceCatalog(parent), m_sceneFile(std::move(sceneFile)), m_machine(std::move(machine))
{
    // The machine's devices stand before the simulated ones, so their positions are the same
    // in both lists and the news passes on unchanged.
    if (m_machine) {
        connect(m_machine.get(), &DeviceCatalog::videoDeviceChanged, this,
                &DeviceCatalog::videoDeviceChanged);
        connect(m_machine.get(), &DeviceCatalog::audioDeviceChanged, this,
                &DeviceCatalog::audioDeviceChanged);
    }
}

QStringList SimulatedDeviceCatalog::videoDeviceNames() const
{
    return (m_machine ? m_machine->videoDeviceNames() : QStringList()) << kSimulatedCameraName;
}

QStringList SimulatedDeviceCatalog::audioDeviceNames() const
{
    return (m_machine ? m_machine->audioDeviceNames() : QStringList())
           << kSimulatedMicrophoneName;
}

std::unique_ptr<VideoSource> SimulatedDeviceCatalog::openVideo(int index, QString &error)
{
    const int machineCount = m_machine ? int(m_machine->videoDeviceNames().size()) : 0;
    if (index >= 0 && index < machineCount)
        return m_machine->openVideo(index, error);
    if (index != machineCount) {
        error = QStringLiteral("There is no capture device %1").arg(index);
        return nullptr;
    }
    return makeSimulatedCamera(m_sceneFile, error);
}

std::unique_ptr<AudioSource> SimulatedDeviceCatalog::openAudio(int index, QString &error)
{
    const int machineCount = m_machine ? int(m_machine->audioDeviceNames().size()) : 0;
    if (index >= 0 && index < machineCount)
        return m_machine->openAudio(index, error);
    if (index != machineCount) {
        error = QStringLiteral("There is no audio device %1").arg(index);
        return nullptr;
    }
    return makeSimulatedMicrophone(m_sceneFile, error);
}

} // namespace skelvin
