#pragma once

#include "core/geometry/Grid.h"

#include <array>
#include <optional>

namespace skelvin {

// The five buoys the operator places on the grid setup picture, in the order the screen moves
// them: upper left, upper right, lower left, lower right, check buoy.
enum class Buoy { UpperLeft = 0, UpperRight = 1, LowerLeft = 2, LowerRight = 3, CheckBuoy = 4 };
constexpr int BuoyCount = 5;

// The corner of the grid a buoy marks; nothing for the check buoy.
std::optional<Corner> cornerOf(Buoy buoy);

// Where the five markers stand, in twips. A click places the chosen buoy; with the grid locked
// every other marker follows by the same offset, so a small camera movement is followed with
// one click. A buoy not yet placed has no marker to draw (its point, 0, 0, is the picture's
// corner, not a buoy).
class GridMarkers
{
public:
    const ScreenPoint &at(Buoy buoy) const { return m_points[static_cast<size_t>(buoy)]; }
    bool isPlaced(Buoy buoy) const { return m_placed[static_cast<size_t>(buoy)]; }
    // Sets a marker; the point 0, 0 is "not placed", as in a grid that has no such buoy.
    void set(Buoy buoy, ScreenPoint point);

    // Moves the chosen buoy to the point (and, locked, the others by the same offset). Returns
    // which markers moved.
    std::array<bool, BuoyCount> place(Buoy chosen, ScreenPoint point, bool locked);
    // One step of the chosen buoy (and, locked, of all).
    std::array<bool, BuoyCount> nudge(Buoy chosen, double dxTwips, double dyTwips, bool locked);

    // Takes the corners and check buoy of a grid.
    void takeFrom(const Grid &grid);

private:
    std::array<ScreenPoint, BuoyCount> m_points{};
    std::array<bool, BuoyCount> m_placed{};
};

// The grid button of the grid setup screen: "Grid 1" -> "Grid 2" (with more than one grid),
// "Grid 2" -> "Grid 3" (with three) or "Grid 1", "Grid 3" -> "Grid 1".
int nextSetupGrid(int current, int gridCount);

} // namespace skelvin
