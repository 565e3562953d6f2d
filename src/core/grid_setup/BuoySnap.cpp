#include "core/grid_setup/BuoySnap.h"

#include "core/common/PictureSize.h"
#include "core/geometry/TwipsPixels.h"

#include <algorithm>
#include <cmath>

namespace skelvin {

BuoySnap snapToBuoy(const QImage &picture, ScreenPoint click)
{
    BuoySnap snap;
    snap.point = click;
    BuoySearch search;
    search.near = pixelsOf(click);
    search.expectedDiameterPx = std::max(6.0, picture.width() / 128.0);
    search.searchRadiusPx = std::max(8.0, 1.2 * search.expectedDiameterPx);
    snap.find = findBuoy(picture, search);
    if (!snap.find.found) {
        snap.status = QStringLiteral("No buoy found near the click: marked where clicked");
        return snap;
    }
    const QPointF moved = snap.find.centre - search.near;
    snap.point = twipsOf(snap.find.centre);
    snap.status = QStringLiteral("Buoy found, centre moved %1 px")
                      .arg(QString::number(std::hypot(moved.x(), moved.y()), 'f', 1));
    return snap;
}

} // namespace skelvin
