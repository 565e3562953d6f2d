#pragma once

#include <QString>

namespace skelvin {

// The video file of one attempt: the video directory, the skier's name with its outer blanks
// removed, "jump", the attempt number with its blanks removed, ".avi" ("/videos/Jane
// Doejump2.avi"). Other screens take the name apart again at "jump", so the pattern is fixed.
QString videoFileName(const QString &videoDirectory, const QString &skierName,
                      const QString &attemptText);

// Start Recording takes an attempt number of digits only, blanks around them allowed, from 1 to
// 32767: the file name, the session log and the next attempt are built from it. Empty when the
// text is one, else what to tell the operator.
QString attemptNumberProblem(const QString &attemptText);

// A file name typed for the panel's test captures and still grabs: a name without a folder
// belongs in the video folder, never in the program's working directory.
QString inVideoFolder(const QString &videoDirectory, const QString &fileText);

// The file a test capture records to: `fileText` in the video folder, or when a file of that
// name is there, the first free "name (2).avi", "name (3).avi" ... beside it, so a test never
// replaces a recording.
QString freeTestCaptureFile(const QString &videoDirectory, const QString &fileText);

// A recording is there when its length can be read.
bool videoFileExists(const QString &path);

// The attempt text as the capture screen writes it: one leading blank before a positive number.
QString attemptText(int attempt);

// First paint of the capture screen: the attempt raised until no file of that attempt exists.
// `raised` tells how often it was raised.
struct FreeAttempt
{
    QString attemptText;
    int raised = 0;
};
FreeAttempt firstFreeAttempt(const QString &videoDirectory, const QString &skierName,
                             const QString &attemptText);

// Start Recording: "X" appended to the trimmed name until the file of attempt 1 of that name
// does not exist (the attempt is 1 because every change of the name starts it again at 1).
// Unchanged when the file of `attemptText` does not exist.
struct FreeName
{
    QString skierName;
    QString attemptText;
    bool changed = false;
};
FreeName firstFreeName(const QString &videoDirectory, const QString &skierName,
                       const QString &attemptText);

} // namespace skelvin
