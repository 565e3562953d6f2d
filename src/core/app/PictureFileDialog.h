#pragma once

#include <QString>

#include <optional>

namespace skelvin {

class AppContext;

// The Load Picture dialog of the measure and grid setup screens, opened in the captures folder
// with the picture filters; in the video folder while the captures folder typed on the
// configuration screen does not exist. Nothing when the dialog is cancelled.
std::optional<QString> choosePictureFile(AppContext &context, int filterIndex);

// The filter that matches the saved pictures' type: ".gif" 3, ".bmp" 4, ".jpg" 5.
int pictureFilterIndex(const QString &pictureExtension);

} // namespace skelvin
