#pragma once

#include "core/common/Result.h"

#include <QPointF>
#include <QString>

#include <functional>

namespace skelvin::test {

class ProgramHarness;

// Jumps worked through the screens one after another, as an operator works a tournament:
// the capture screen records a short video from the simulated camera, frame selection takes
// the frame it opens at, the measure screen measures the point where the skier lands and
// records it, and Capture Next Jump keeps the picture and the video. Used by the crash-safety
// test and the long-day benchmark.
class JumpLoop
{
public:
    explicit JumpLoop(ProgramHarness &harness);

    // Before the program starts: the simulated view's grid as grid 1 (written by skelvin-tool
    // into the setups folder), `captureSeconds` long recordings at the camera's smallest size,
    // pictures and videos kept. Empty on success, else what went wrong.
    QString prepare(int captureSeconds = 1);

    // One jump; the results line it recorded, or what went wrong.
    Result<QString> jump(const QString &skier);

    // Saves grid 1 again through the grid setup screen ("&Save", the same file).
    Failure saveGrid();

    QString gridPath() const;

    // Told each step of a jump as it is reached, in this order: "capture" (the capture screen
    // is about to start the recording), "recording 1", "recording 10" and "recording 20" (the
    // recording's file holds that many whole frames), "frames" (frame selection shows the
    // recording), "recorded" (the results line is written). The jump goes on when it returns.
    std::function<void(const QString &step)> onStep;

private:
    void step(const QString &name);
    void reportRecordingSteps(int *reported);

    ProgramHarness &m_h;
    QPointF m_landingPixel;
    bool m_visited = false; // the capture screen has been shown in this run
};

} // namespace skelvin::test
