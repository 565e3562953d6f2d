#pragma once

#include "app/CommandLine.h"

#include <memory>

namespace skelvin {

class CaptureDevice;

// The capture control of the running program: the machine's cameras and sound devices and the
// simulated ones, with the scene of the simulated camera.
std::unique_ptr<CaptureDevice> makeCaptureDevice(const CommandLineOptions &options);

} // namespace skelvin
