#pragma once

#include <QPointF>
#include <QString>

namespace skelvin {

// What the screens of one jump hand to each other: the capture screen to frame selection (the
// recording's contact frame, frame count and rate), frame selection to measuring and to picture
// and video keeping (the video and frame measured), and the names the capture screen proposes.
struct JumpHandOver
{
    int contactFrame = 0;
    // Whether the operator pressed Contact during the recording (contactFrame is that moment),
    // or contactFrame is only half way.
    bool contactPressed = false;
    // The first contact frame selection's search suggested for the recording (-1: none), and
    // where in that frame's picture (pixels): the measure screen shows it as a faint ring.
    int suggestedContactFrame = -1;
    QPointF suggestedContactPoint;
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
    // The recording the capture screen made for the jump in hand, as frame selection received
    // it. The video policy keeps or erases this file only: a video opened again from the log
    // or through Browse was kept earlier and is never erased by it.
    QString jumpRecording;

    // Whether the measured video is the recording made for this jump.
    bool measuredVideoIsJumpRecording() const
    {
        return !measuredVideoFile.isEmpty() && measuredVideoFile == jumpRecording;
    }

    // Once the measured video has been kept or erased there is no video left to handle, so a
    // later next jump never asks about it again.
    void forgetMeasuredVideo()
    {
        if (measuredVideoIsJumpRecording())
            jumpRecording.clear();
        measuredVideoFile.clear();
        measuredFrame = 0;
    }
};

} // namespace skelvin
