#pragma once

#include <QString>

namespace skelvin {

// What the screens of one jump hand to each other: the capture screen to frame selection (the
// recording's contact frame, frame count and rate), frame selection to measuring and to picture
// and video keeping (the video and frame measured), and the names the capture screen proposes.
struct JumpHandOver
{
    int contactFrame = 0;
    int capturedFrameCount = 0;
    double captureFrameRate = 0;
    bool startFocusPending = false;
    // The name the capture screen's skier name box proposes (set by the skier names import).
    QString captureSkierName;
    // The capture screen's attempt number box (it has already moved on to the next attempt).
    QString captureAttemptText;
    // The file of the last recording, for frame selection's file box.
    QString captureFilePath;
    // The capture screen changed the skier's name of the last recording so as not to overwrite
    // a file (its warning is showing); frame selection asks for the right name.
    bool captureNameChanged = false;
    // The video the video log viewer hands to frame selection (navigation tag "View").
    QString viewFileName;
    QString measuredVideoFile;
    int measuredFrame = 0;

    // Once the measured video has been kept or erased there is no video left to handle, so a
    // later next jump never asks about it again.
    void forgetMeasuredVideo()
    {
        measuredVideoFile.clear();
        measuredFrame = 0;
    }
};

} // namespace skelvin
