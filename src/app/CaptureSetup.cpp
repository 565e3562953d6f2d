#include "app/CaptureSetup.h"

#include "core/capture/CaptureControl.h"
#include "core/capture/devices/SystemDeviceCatalog.h"
#include "core/simulation/SimulatedDeviceCatalog.h"

namespace skelvin {

std::unique_ptr<CaptureDevice> makeCaptureDevice(const CommandLineOptions &options)
{
    // With --simulated-camera only the simulated camera and microphone are offered ("instead of
    // a real one"); otherwise only the machine's devices, so a stored device index that points
    // past today's cameras never connects a made-up scene.
    std::unique_ptr<DeviceCatalog> devices;
    if (options.simulatedCamera)
        devices = std::make_unique<SimulatedDeviceCatalog>(options.sceneFile);
    else
        devices = makeSystemDeviceCatalog();
    return std::make_unique<CaptureControl>(std::move(devices));
}

} // namespace skelvin
