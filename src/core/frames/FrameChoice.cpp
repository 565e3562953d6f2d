#include "core/frames/FrameChoice.h"

#include "core/common/JumpHandOver.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/frames/FramePicture.h"
#include "core/logs/DebugLog.h"

namespace skelvin {

const QString FrameChoice::kGridsNotConfigured =
    QStringLiteral("One or more grids are not configured.  You may not use the Measure Screen "
                   "until all listed grids are configured");

int FrameChoice::frameAt(double position)
{
    const int frame = int(roundHalfEven(position));
    return frame == 0 ? 1 : frame;
}

int FrameChoice::choose(const Services &services, const QString &videoPath, double position)
{
    const int frame = frameAt(position);
    services.handOver.measuredVideoFile = videoPath;
    services.handOver.measuredFrame = frame;
    services.debugLog.DebugLogWrite(QStringLiteral("Frame ") + Str(frame) +
                                    QStringLiteral(" Selected in ") + videoPath);
    writeFramePicture(videoPath, frame, services.paths.currentCapture(), services.prompter);
    return frame;
}

} // namespace skelvin
