#include "core/grid_setup/GridMarkers.h"

namespace skelvin {

std::optional<Corner> cornerOf(Buoy buoy)
{
    switch (buoy) {
    case Buoy::UpperLeft: return Corner::UpperLeft;
    case Buoy::UpperRight: return Corner::UpperRight;
    case Buoy::LowerLeft: return Corner::LowerLeft;
    case Buoy::LowerRight: return Corner::LowerRight;
    case Buoy::CheckBuoy: break;
    }
    return std::nullopt;
}

void GridMarkers::set(Buoy buoy, ScreenPoint point)
{
    m_points[static_cast<size_t>(buoy)] = point;
    m_placed[static_cast<size_t>(buoy)] = point.x != 0.0 || point.y != 0.0;
}

std::array<bool, BuoyCount> GridMarkers::place(Buoy chosen, ScreenPoint point, bool locked)
{
    const ScreenPoint from = at(chosen);
    return nudge(chosen, point.x - from.x, point.y - from.y, locked);
}

std::array<bool, BuoyCount> GridMarkers::nudge(Buoy chosen, double dxTwips, double dyTwips, bool locked)
{
    std::array<bool, BuoyCount> moved{};
    for (int i = 0; i < BuoyCount; ++i) {
        if (i != static_cast<int>(chosen) && !locked)
            continue;
        ScreenPoint &p = m_points[static_cast<size_t>(i)];
        p = {p.x + dxTwips, p.y + dyTwips};
        moved[static_cast<size_t>(i)] = true;
        m_placed[static_cast<size_t>(i)] = true;
    }
    return moved;
}

void GridMarkers::takeFrom(const Grid &grid)
{
    for (int i = 0; i < BuoyCount; ++i) {
        const Buoy buoy = static_cast<Buoy>(i);
        if (const auto corner = cornerOf(buoy))
            set(buoy, grid.corner(*corner).screen);
        else
            set(buoy, grid.checkBuoyScreen);
    }
}

int nextSetupGrid(int current, int gridCount)
{
    if (current == 1)
        return gridCount > 1 ? 2 : 1;
    if (current == 2)
        return gridCount == 3 ? 3 : 1;
    return 1;
}

} // namespace skelvin
