#pragma once

#include "app/CommandLine.h"

#include <memory>

namespace skelvin {

class CaptureDevice;

// The capture control of the running program: the machine's cameras and sound devices, or with
// --simulated-camera the simulated camera and microphone alone.
std::unique_ptr<CaptureDevice> makeCaptureDevice(const CommandLineOptions &options);

} // namespace skelvin
