#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/BuoyFinder.h"

#include <QImage>
#include <QString>

namespace skelvin {

// A click on the grid setup picture, put on the centre of the buoy near it when one is found.
struct BuoySnap
{
    ScreenPoint point;    // where the marker goes, twips
    BuoyFind find;        // the buoy found, if any
    QString status;       // what the status line says
};

// The settings key of the "Snap to buoy" check box.
inline const QString kSnapToBuoyKey = QStringLiteral("snapToBuoy");

// Looks for a buoy near `click`. Before a grid is solved its scale is unknown, so the buoy is
// expected about a 128th of the picture wide (10 pixels at 1280), and looked for within a
// little more than its own size of the click.
BuoySnap snapToBuoy(const QImage &picture, ScreenPoint click);

} // namespace skelvin
