#pragma once

#include "core/frames/AviFileInfo.h"

#include <QString>

#include <cstdint>

namespace skelvin {
class Prompter;
}

// The AVI file facts used by frame selection. Every routine takes the file's path, opens the
// file, reads it and closes it again; nothing stays open between calls. Failures are told to
// the operator through the Prompter and read as false or 0.
namespace skelvin::mmInfo {

// The file exists, opens, and starts with "RIFF" and has the form type "AVI ". A missing file
// gives "File does not exist:", a file the user may not read "File is locked - cannot access:",
// both followed by the path; a file that is too short or of another form is simply not AVI.
bool IsAviFile(const QString &path, Prompter &prompter);

// Fills info from the file's headers and index. "Unable to open file:" when it does not open,
// "Unable to read AVI file info from:" when its headers do not read, each with the path.
bool ReadAviFileInfo(const QString &path, AviFileInfo *info, Prompter &prompter);

std::int32_t AviWidth(const QString &path, Prompter &prompter);
std::int32_t AviHeight(const QString &path, Prompter &prompter);
std::int32_t AviLength(const QString &path, Prompter &prompter);
// rate / scale to the nearest whole number, halves to even (30000 / 1001 gives 30); 0 when
// the scale is 0, and held inside int for a damaged header.
std::int32_t AviFrameRate(const QString &path, Prompter &prompter);
std::int32_t frameRateOf(const AviFileInfo &info);
QString AviFileType(const QString &path, Prompter &prompter);

bool AviIsCompressed(const QString &path, Prompter &prompter);
bool AviAllKeyFrames(const QString &path, Prompter &prompter);
bool AviCanRead(const QString &path, Prompter &prompter);
bool AviCanWrite(const QString &path, Prompter &prompter);
bool AviHasIndex(const QString &path, Prompter &prompter);
bool AviMustUseIndex(const QString &path, Prompter &prompter);
bool AviIsCopyrighted(const QString &path, Prompter &prompter);
bool AviWasCaptureFile(const QString &path, Prompter &prompter);
bool AviIsInterleaved(const QString &path, Prompter &prompter);

// The lines Browse lists for a chosen file, from "Filename: " to "Interleaved: ".
QStringList fileInfoLines(const QString &path, const AviFileInfo &info);

} // namespace skelvin::mmInfo
