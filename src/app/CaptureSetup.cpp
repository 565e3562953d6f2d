#include "app/CaptureSetup.h"

#include "core/capture/CaptureDevice.h"

namespace skelvin {

std::unique_ptr<CaptureDevice> makeCaptureDevice(const CommandLineOptions &)
{
    return nullptr;
}

} // namespace skelvin
