#pragma once

#include "core/common/Paths.h"

#include <QStringList>

#include <optional>

namespace skelvin {

// What the command line asks of the program.
struct CommandLineOptions
{
    Paths paths = Paths::defaults();
    bool simulatedCamera = false;
    QString sceneFile; // the simulated camera's scene; empty: the default scene
};

// Reads --app-dir, --drive-root, --settings, --simulated-camera and --scene. Prints the help (for
// --help) or the problem and gives nothing when the program should not start.
std::optional<CommandLineOptions> parseCommandLine(const QStringList &arguments, int *exitCode);

} // namespace skelvin
