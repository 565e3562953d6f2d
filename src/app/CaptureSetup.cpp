#include "app/CaptureSetup.h"

#include "core/capture/CaptureControl.h"
#include "core/capture/SimulatedDeviceCatalog.h"
#include "core/capture/SystemDeviceCatalog.h"

namespace skelvin {

std::unique_ptr<CaptureDevice> makeCaptureDevice(const CommandLineOptions &options)
{
    // With --simulated-camera only the simulated camera and microphone are offered ("instead of
    // a real one"); otherwise the machine's devices, with the simulated ones last.
    std::unique_ptr<DeviceCatalog> devices;
    if (options.simulatedCamera)
        devices = std::make_unique<SimulatedDeviceCatalog>();
    else
        devices = makeSystemDeviceCatalog();
    return std::make_unique<CaptureControl>(std::move(devices));
}

} // namespace skelvin
