#pragma once

#include "core/measure/MeasureState.h"
#include "core/measure/PictureKeeper.h"

#include <QImage>

#include <functional>

namespace skelvin {

class Prompter;
struct JumpHandOver;

// What becomes of the jump on show when the operator leaves the measure screen: its picture is
// saved or not, and its video kept (with its side file and log line) or erased, each by the
// operator's policy. The video is let go by the frame player first (`releaseVideo`), since a
// file still open cannot be erased on every system.
class LeavingSteps
{
public:
    struct Services
    {
        PictureKeeper keeper;
        Prompter &prompter;
        JumpHandOver &handOver;
        std::function<void()> releaseVideo;
    };

    // The jump on show.
    struct Shown
    {
        const MeasureState &state;
        const QImage &picture;
        bool isFramePicture = false;    // the picture is the frame picture of the application folder
        bool fromFrameSelection = false; // the picture came from the frame selection of a recording
        bool jumpRecorded = false;       // a jump was recorded from this picture
    };

    explicit LeavingSteps(Services services);

    // "Capture Next Jump". After a frame selection the picture policy decides; otherwise the
    // operator is asked whether to save the picture, then whether to stay. False when the
    // operator stays: nothing more happens. Otherwise the video is settled.
    bool toNextJump(const Shown &shown);

    // "Return to Main Screen". After a frame selection the picture policy decides, and the
    // video of a recorded jump is settled as on the way to the next jump; a video not yet
    // recorded as a jump waits to be measured.
    void toMainScreen(const Shown &shown);

    static const QString kSaveQuestion;
    static const QString kStayQuestion;

private:
    void settleVideo();

    Services m_services;
};

} // namespace skelvin
