#pragma once

#include <QString>

#include <optional>

namespace skelvin {

// The side file of a kept video, "<video path>.info": one line, the video's path, a comma and
// the frame chosen for measuring with its sign blank (".../Jane Doejump2.avi, 123"). Written
// when the video is kept after measuring; read back by frame selection to warn that a video
// was measured before.
class MeasuredSideFile
{
public:
    static QString pathFor(const QString &videoPath);

    // The frame the side file names; nothing when the video has no side file or it does not
    // read. A second field that is not a number reads as 0.
    static std::optional<int> measuredFrame(const QString &videoPath);

    // The warning frame selection shows for a video measured before: after a recording or from
    // the log viewer "contact frame", when browsing "start frame".
    static QString contactWarning(int frame);
    static QString startWarning(int frame);
    static const QString kWarningTitle;
};

} // namespace skelvin
