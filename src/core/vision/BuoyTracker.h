#pragma once

#include "core/geometry/Grid.h"

#include <QImage>
#include <QPointF>

#include <vector>

namespace skelvin {

// Follows the camera through the frames of a recording by three of the grid's buoys (two
// opposite corners and the check buoy): each buoy is found in the first frame near its mark, then in every frame near where it was in the frame before.
// The picture's movement is the median of the buoys' movements since the first frame, so a
// buoy the skier or the spray hides for a moment, or one found astray, does not move it.
class BuoyTracker
{
public:
    explicit BuoyTracker(const Grid &grid);

    // The next frame: how far the picture has moved since the first frame, in pixels. With no
    // buoy found in a frame, the movement of the frame before.
    QPointF follow(const QImage &frame);
    // How many of the grid's buoys were found in the first frame and are followed.
    int followedCount() const { return static_cast<int>(m_buoys.size()); }

private:
    struct Followed
    {
        QPointF first;
        QPointF last;
        double diameterPx = 0.0;
    };

    Grid m_grid;
    bool m_started = false;
    std::vector<Followed> m_buoys;
    QPointF m_moved;
};

} // namespace skelvin
