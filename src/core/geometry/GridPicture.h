#pragma once

#include <QSize>
#include <QString>

namespace skelvin {

class SettingsStore;

// The size of the picture each grid was built on, kept in the settings beside the grid's file
// name ("grid1PictureSize" = "1280x720"), so a picture of another size measured on that grid is
// noticed. The grid file itself does not hold it: its format is shared with other programs.

QString gridPictureSizeKey(int n);

// The stored size of grid n's picture; an empty size when none is known.
QSize gridPictureSize(const SettingsStore &settings, int n);

// Records the picture grid n now stands on. An empty `picture` (no picture shown) keeps the size
// known for the same grid file and forgets the one of another file.
void rememberGridPicture(SettingsStore &settings, int n, QSize picture, const QString &gridFile);

// What the measure screen says when `shown` is not the size of the picture grid n was built on;
// empty when the sizes agree or either is unknown.
QString wrongGridPictureText(int n, QSize builtOn, QSize shown);

} // namespace skelvin
