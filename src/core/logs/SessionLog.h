#pragma once

#include "core/common/Result.h"

#include <QString>

namespace skelvin {

class Clock;

// The operator's record of the day in the video directory: one file per day, appended at every
// start, one line for each kept video and each saved picture.

// "JumpMeasurementLog" + MMDDYY + ".txt" for a date text mm-dd-yyyy.
QString SessionLogName(const QString &dateText);

// The full path of the day's session log, or empty when the video directory is empty.
QString sessionLogPath(const QString &videoDirectory, const QString &dateText);

// date -> time -> "Skelvin Measurement Session started  "
QString SessionStartLine(const QString &dateText, const QString &timeText);

// date -> time -> "Skier: " name -> "Jump: " attempt -> "Contact Frame: " Str(frame) -> "File: " path
QString VideoLogLine(const QString &dateText, const QString &timeText, const QString &skier,
                     const QString &jump, int contactFrame, const QString &videoPath);

// date -> time -> note: what happened beside the kept files, such as a camera followed. Such a
// line names no file, so the log viewers, which list the lines of one kind of file, pass it by.
QString NoteLogLine(const QString &dateText, const QString &timeText, const QString &note);

// date -> time -> "Skier: " name -> "Jump: " Str(attempt) -> "Distance: " text -> "File: " path
QString PictureLogLine(const QString &dateText, const QString &timeText, const QString &skier,
                       double jump, const QString &distanceText, const QString &picturePath);

// The skier and jump parts cut from a captured video's path (".../Skier Ajump12.avi" gives
// "Skier A" and "12"); nothing when "jump" is not just before ".avi".
struct VideoNameParts
{
    QString skier;
    QString jump;
};
std::optional<VideoNameParts> videoNameParts(const QString &videoPath);

// The skier and the attempt a picture or video line of the session log names, blanks
// trimmed ("Skier: Jane Doe    Jump:  2 ..." gives "Jane Doe" and "2"); nothing when the
// line has no "Skier: " and "Jump: " fields.
std::optional<VideoNameParts> loggedJumpOf(const QString &logLine);

// Appends the start line to the day's session log. Returns the session log's name on success
// (to be stored under "logfile"), nothing when the video directory is empty, or the failure.
struct SessionStart
{
    QString logName;  // empty when nothing was written
    Failure failure;
    QString path; // the file meant, also when it could not be written; empty without a
                  // video directory
};
SessionStart openSessionLog(const QString &videoDirectory, const Clock &clock);

} // namespace skelvin
