#include "core/vision/BuoyTracker.h"

#include "core/common/PictureSize.h"
#include "core/vision/BuoyFinder.h"
#include "core/vision/GridBuoyCheck.h"

#include <QLineF>

#include <algorithm>

namespace skelvin {

namespace {

// Between two frames the camera turns by a pixel or two at most, unless it is bumped.
constexpr double kFrameToFrameRadiusPx = 6.0;

double median(std::vector<double> values)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2.0;
}

} // namespace

BuoyTracker::BuoyTracker(const Grid &grid) : m_grid(grid) {}

QPointF BuoyTracker::follow(const QImage &frame)
{
    if (!m_started) {
        m_started = true;
        // Three buoys are enough for a median that one astray cannot move: two opposite
        // corners and the check buoy (or a third corner).
        std::vector<ScreenPoint> marks = {m_grid.corner(Corner::UpperLeft).screen,
                                          m_grid.corner(Corner::LowerRight).screen,
                                          m_grid.hasCheckBuoy()
                                              ? m_grid.checkBuoyScreen
                                              : m_grid.corner(Corner::UpperRight).screen};
        for (const ScreenPoint &mark : marks) {
            BuoySearch search;
            search.near = {mark.x / TwipsPerPixel, mark.y / TwipsPerPixel};
            search.expectedDiameterPx = expectedBuoyDiameterPx(m_grid.transform, search.near);
            const BuoyFind find = findBuoy(frame, search);
            if (find.found)
                m_buoys.push_back({find.centre, find.centre, search.expectedDiameterPx});
        }
        return m_moved;
    }
    std::vector<double> dx, dy;
    for (Followed &buoy : m_buoys) {
        BuoySearch search;
        search.near = buoy.last;
        search.expectedDiameterPx = buoy.diameterPx;
        search.searchRadiusPx = kFrameToFrameRadiusPx;
        const BuoyFind find = findBuoy(frame, search);
        if (!find.found)
            continue;
        buoy.last = find.centre;
        dx.push_back(find.centre.x() - buoy.first.x());
        dy.push_back(find.centre.y() - buoy.first.y());
    }
    if (!dx.empty())
        m_moved = {median(dx), median(dy)};
    // A buoy not seen this time is looked for next time where the others say it is.
    for (Followed &buoy : m_buoys) {
        const QPointF expected = buoy.first + m_moved;
        if (QLineF(buoy.last, expected).length() > kFrameToFrameRadiusPx / 2)
            buoy.last = expected;
    }
    return m_moved;
}

} // namespace skelvin
