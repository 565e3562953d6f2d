#pragma once

#include "core/common/Result.h"

#include <QPointF>
#include <QString>

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

private:
    ProgramHarness &m_h;
    QPointF m_landingPixel;
    bool m_visited = false; // the capture screen has been shown in this run
};

} // namespace skelvin::test
