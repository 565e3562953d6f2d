#pragma once

#include "core/common/Prompter.h"

#include <QString>

// The operator's messages of the video file and bitmap routines, word for word.
namespace skelvin::frame_messages {

using skelvin::kApplicationTitle;

inline const QString kFileDoesNotExist = QStringLiteral("File does not exist:");
inline const QString kFileIsLocked = QStringLiteral("File is locked - cannot access:");
inline const QString kUnableToOpen = QStringLiteral("Unable to open file:");
inline const QString kUnableToReadInfo = QStringLiteral("Unable to read AVI file info from:");
inline const QString kNotSupportedBitmap = QStringLiteral("File is not a supported bitmap format:");
inline const QString kNotValidAvi = QStringLiteral("Not a valid avi file");
inline const QString kNoDecompressor =
    QStringLiteral("No suitable decompressor found for this video stream!");
inline const QString kErrorWorkingWithFile =
    QStringLiteral("There was an error working with the file:");

// A message text followed by a line break and the path it is about.
inline QString withPath(const QString &text, const QString &path)
{
    return text + QLatin1Char('\n') + path;
}

} // namespace skelvin::frame_messages
