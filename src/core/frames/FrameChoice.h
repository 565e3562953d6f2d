#pragma once

#include <QString>

namespace skelvin {

class DebugLog;
class Paths;
class Prompter;
struct JumpHandOver;

// Choosing the frame to measure on the frame selection screen: the displayed frame becomes the
// measured frame of the jump and is written as the frame picture the measure and grid setup
// screens load.
class FrameChoice
{
public:
    struct Services
    {
        Prompter &prompter;
        DebugLog &debugLog;
        JumpHandOver &handOver;
        const Paths &paths;
    };

    // The frame a player position stands for: the nearest whole frame (halves to even); frame 0
    // is never measured, it becomes 1.
    static int frameAt(double position);

    // Makes the frame at `position` of the video the measured one: hands it over, logs it and
    // writes its picture. A picture that cannot be written is told to the operator and the
    // last frame picture stays; the jump goes on all the same. Returns the frame chosen.
    static int choose(const Services &services, const QString &videoPath, double position);

    static const QString kGridsNotConfigured;
};

} // namespace skelvin
