#include "core/capture/CaptureTiming.h"

#include "core/common/NumberText.h"

namespace skelvin {

QStringList captureTimeItems()
{
    return {QStringLiteral("3.0"), QStringLiteral("4.0"), QStringLiteral("5.0"),
            QStringLiteral("6.0")};
}

CaptureTimeChoice captureTimeAtLoad(double storedSeconds)
{
    CaptureTimeChoice choice;
    if (storedSeconds > 0) {
        choice.seconds = storedSeconds;
        const QStringList items = captureTimeItems();
        for (int i = 0; i < items.size(); ++i)
            if (Val(items.at(i)) == storedSeconds)
                choice.itemIndex = i;
        return choice;
    }
    choice.itemIndex = 2;
    choice.seconds = 5.0;
    choice.storeBack = true;
    return choice;
}

int halfwayContactFrame(const QString &frameRateText, double captureSeconds)
{
    return wholeNumber(roundHalfEven(Val(frameRateText) * captureSeconds / 2.0));
}

QString timeLimitWarning(double captureSeconds, int timeLimitSeconds)
{
    if (timeLimitSeconds <= 0 || timeLimitSeconds >= captureSeconds)
        return QString();
    return QStringLiteral("The capture panel's Time Limit of %1 s is shorter than the recording time")
        .arg(timeLimitSeconds);
}

QString writingRecordingText(int framesWaiting)
{
    return QStringLiteral("Writing the recording: %1 frames still to compress...")
        .arg(framesWaiting);
}

QString nothingRecordedText()
{
    return QStringLiteral("The recording ended before its first frame, so nothing was kept. "
                          "Start Recording again once the camera shows a picture.");
}

int wholeFrameRate(double framesPerSecond)
{
    return wholeNumber(roundHalfEven(framesPerSecond));
}

} // namespace skelvin
