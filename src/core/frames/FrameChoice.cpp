#include "core/frames/FrameChoice.h"

#include "core/common/JumpHandOver.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/frames/FrameMessages.h"
#include "core/frames/FramePicture.h"
#include "core/logs/DebugLog.h"

#include <QFile>
#include <QFileInfo>

namespace skelvin {

const QString FrameChoice::kGridsNotConfigured =
    QStringLiteral("One or more grids are not configured.  You may not use the Measure Screen "
                   "until all listed grids are configured");

const QString FrameChoice::kNoFrameOnScreen =
    QStringLiteral("No frame picture is on the screen to measure. Step to a frame whose picture "
                   "shows, then choose it.");

int FrameChoice::frameAt(double position)
{
    const int frame = int(roundHalfEven(position));
    return frame == 0 ? 1 : frame;
}

std::optional<int> FrameChoice::choose(const Services &services, const QString &videoPath,
                                       double position)
{
    const int frame = frameAt(position);
    services.debugLog.DebugLogWrite(QStringLiteral("Frame ") + Str(frame) +
                                    QStringLiteral(" Selected in ") + videoPath);
    const QString picture = services.paths.currentCapture();
    // A picture that stays behind here would be measured as this jump's if the new one
    // cannot be written.
    if (QFileInfo::exists(picture) && !QFile::remove(picture)) {
        services.prompter.inform(frame_messages::withPath(frame_messages::kErrorWorkingWithFile, picture),
                                 MessageIcon::Information, frame_messages::kApplicationTitle);
        return std::nullopt;
    }
    if (!writeFramePicture(videoPath, frame, picture, services.prompter))
        return std::nullopt;
    services.handOver.measuredVideoFile = videoPath;
    services.handOver.measuredFrame = frame;
    return frame;
}

} // namespace skelvin
