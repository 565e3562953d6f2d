#pragma once

#include "core/common/Prompter.h"

#include <QString>

namespace skelvin {

// The Browse dialog of the capture panel's test capture, for the file its box names now. It
// starts in that file's folder when the box holds a full path, otherwise in the video folder.
// Streams are recorded as AVI files: the dialog then offers that type alone, so a recording is
// never written under a picture's name; still frames offer the picture types, JPEG by default.
FileDialogRequest testCaptureFileRequest(const QString &fileText, const QString &videoDirectory,
                                         bool streams);

} // namespace skelvin
