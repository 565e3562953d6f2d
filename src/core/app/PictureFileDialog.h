#pragma once

#include <QString>

#include <optional>

namespace skelvin {

class AppContext;

// Whether the captures folder the picture dialogs open in exists; when it does not, the operator
// is told to change it on the configuration screen.
bool capturesFolderUsable(AppContext &context);

// The Load Picture dialog of the measure and grid setup screens, opened in the captures folder
// with the picture filters. Nothing when the dialog is cancelled.
std::optional<QString> choosePictureFile(AppContext &context, int filterIndex);

// The filter that matches the saved pictures' type: ".gif" 3, ".bmp" 4, ".jpg" 5.
int pictureFilterIndex(const QString &pictureExtension);

} // namespace skelvin
