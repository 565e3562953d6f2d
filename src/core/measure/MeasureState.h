#pragma once

#include "core/geometry/Grid.h"

#include <QString>

#include <optional>

namespace skelvin {

// The result kind chosen with the measure screen's options.
enum class ResultKind { JumpOk, Pass, Fall, OtherGrid };

// What the measure screen holds for the jump on show: its boxes, its options and its mark.
// The screen fills it from its controls, recording updates it, and the screen shows it again.
struct MeasureState
{
    QString skierName;       // Skier_name
    QString jumpNo;          // Jump_no
    QString comment;         // Comment
    bool commentVisible = false;
    QString distanceText;    // distance   (" 45.1m")
    QString distanceFtText;  // distance_ft (" 148ft")
    ResultKind kind = ResultKind::JumpOk;
    bool pictureFrozen = false;
    bool verifyMode = false;          // the verify button reads "Verify off"
    bool barefootIndicatorVisible = false; // barefoot or sit-ski tournament

    ScreenPoint impactPoint;          // the mark, twips
    bool markPlaced = false;          // a mark was placed on the picture since the last Clear
    // Where the mark on show was when it was recorded as a jump: recording the same mark
    // again is asked about. The screen forgets it when a mark is placed or moved.
    std::optional<ScreenPoint> recordedMark;
    ScreenPoint lastMousePoint;       // the last mouse position over the picture
    SurveyPoint lastSurveyPoint;      // the survey point last computed by a record or the mark
    QString fineDistanceText;         // Str of the last measured distance to four decimals
};

} // namespace skelvin
