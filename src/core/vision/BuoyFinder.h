#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

namespace skelvin {

// Where to look for one buoy: near a point, for a disc of about the expected size. Pixels in
// the program's convention: the centre of pixel i is i.
struct BuoySearch
{
    QPointF near;
    double expectedDiameterPx = 10.0;
    double searchRadiusPx = 12.0; // how far from `near` the buoy's centre may be
};

// What the finder saw. A buoy is reported only when exactly one disc of about the expected size
// stands out from the water near the point; otherwise `reason` says why not, in words the
// operator can act on.
struct BuoyFind
{
    bool found = false;
    QPointF centre;          // to a fraction of a pixel
    double diameterPx = 0.0; // of the disc found
    double confidence = 0.0; // 0 to 1: how clearly it stands out and how round it is
    QString reason;          // why nothing was found
};

// Finds the buoy near `search.near` in `picture`: a small bright disc (orange, yellow, red or
// white) on darker water. A wrong find is worse than none, so two discs that could both be the
// buoy, a disc cut by the picture's edge, or one too faint to trust, are all "not found".
BuoyFind findBuoy(const QImage &picture, const BuoySearch &search);

} // namespace skelvin
