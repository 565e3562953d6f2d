#pragma once

#include "core/geometry/GridEntryTexts.h"
#include "core/grid_setup/GridMarkers.h"

#include <QString>

#include <array>
#include <optional>

namespace skelvin {

// The markers of the grid setup picture as the operator places them with the chosen buoy's
// option, the mouse and the arrow keys, and the lock that makes every marker follow.
class BuoyPlacement
{
public:
    GridMarkers &markers() { return m_markers; }
    const GridMarkers &markers() const { return m_markers; }

    // A click on the picture: the chosen buoy goes there (locked, the others follow by the
    // same offset). A marker placed by a click shows as a plain cross until the markers are
    // drawn again. Returns which markers moved.
    std::array<bool, BuoyCount> place(Buoy chosen, ScreenPoint point, bool locked);
    // An arrow step of the chosen buoy (locked, of all); the markers are then drawn again.
    std::array<bool, BuoyCount> nudge(Buoy chosen, double dxTwips, double dyTwips, bool locked);

    // Drawing the markers again shows each in the marker style.
    void redrawn() { m_drawnAsCross.fill(false); }
    bool drawnAsCross(Buoy buoy) const { return m_drawnAsCross[static_cast<size_t>(buoy)]; }

    // Locking needs every corner's screen position and the check buoy's survey position: a lock
    // on buoys not yet placed would carry nothing along. What to tell the operator when the
    // fields lack them; nothing when the grid may be locked.
    static std::optional<QString> lockRefusal(const GridEntryTexts &texts);

private:
    GridMarkers m_markers;
    std::array<bool, BuoyCount> m_drawnAsCross{};
};

} // namespace skelvin
