#pragma once

#include <QString>

#include <optional>

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

    // Makes the frame at `position` of the video the measured one: logs it, writes its picture
    // and hands it over. The frame picture of an earlier jump is removed first, so the measure
    // screen can never open it for this one. A picture that cannot be written is told to the
    // operator, nothing is handed over and nothing is returned: the jump cannot be measured
    // from that frame. Returns the frame chosen.
    static std::optional<int> choose(const Services &services, const QString &videoPath,
                                     double position);

    static const QString kGridsNotConfigured;
    // Choosing while no picture is on screen (the frame at the position does not decode).
    static const QString kNoFrameOnScreen;
};

} // namespace skelvin
