#pragma once

#include <QString>
#include <QStringList>

namespace skelvin {

// The capture screen's "Length of time to record" list.
QStringList captureTimeItems();

// The capture time when the screen loads, from the stored "captureTime": a stored time above 0
// is kept and selects the item of that value (none when no item has it); otherwise "5.0" is
// selected and 5 is stored back.
struct CaptureTimeChoice
{
    int itemIndex = -1;
    double seconds = 5.0;
    bool storeBack = false;
};
CaptureTimeChoice captureTimeAtLoad(double storedSeconds);

// The contact frame of a recording without Contact: the middle of the recording, the frame rate
// entry times the capture time divided by 2, halves to even (25 fps for 5 s gives 62).
int halfwayContactFrame(const QString &frameRateText, double captureSeconds);

// A jump is recorded for the capture screen's time: the control ends the recording itself once
// it holds that many seconds of frames from its first one, and the screen's countdown only shows
// the time. The panel's Time Limit is for the panel's own test captures; when it is set (above
// 0) and shorter than the capture time, the capture screen says so before Start, since an
// operator would expect it to cut the jump short. Empty when there is nothing to say.
QString timeLimitWarning(double captureSeconds, int timeLimitSeconds);

// Seconds the capture screen waits past its countdown for the control to end a recording (the
// last frames still on their way) before it stops the recording itself.
inline constexpr int kRecordingEndGraceSeconds = 2;

// What the capture screen tells when a recording ended by itself before its first frame.
QString nothingRecordedText();

// What the capture screen shows while Stop waits for the frames still to be compressed, when
// there are at least kWaitingFramesToTell of them (half a second at 30 fps; fewer are written
// before anyone could read it).
inline constexpr int kWaitingFramesToTell = 15;
QString writingRecordingText(int framesWaiting);

// A frame rate as the whole number the panel's frame-rate box and the frame selection take:
// rounded to the nearest, halves to even (29.97 gives 30, 12.5 gives 12).
int wholeFrameRate(double framesPerSecond);

} // namespace skelvin
