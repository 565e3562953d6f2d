#pragma once

#include "core/geometry/Grid.h"

#include <QString>

#include <array>

namespace skelvin {

constexpr int MaxGrids = 3;

// The table of the three grids, the active working copy and the readiness state.
class GridStore
{
public:
    // The working copy every computation reads. Its jump exists twice: `grid.jump` is the
    // position stored with the grid, `distanceJump` the one distances are measured from.
    Grid &active() { return m_active; }
    const Grid &active() const { return m_active; }
    SurveyPoint &distanceJump() { return m_distanceJump; }
    const SurveyPoint &distanceJump() const { return m_distanceJump; }
    // Sets both copies of the active jump position.
    void setActiveJump(SurveyPoint jump);

    Grid &entry(int n);
    const Grid &entry(int n) const;

    int currentGrid() const { return m_currentGrid; }
    void setCurrentGrid(int n);
    int gridCount() const { return m_gridCount; }
    // Values out of 1..3 count as one camera.
    void setGridCount(int count);

    bool gridLoaded(int n) const;
    void setGridLoaded(int n, bool loaded);
    bool allGridsReady() const { return m_allGridsReady; }
    void resetAllGridsReady() { m_allGridsReady = false; }
    // Sets AllGridsReady when every grid up to the count is loaded (it never clears it).
    // Returns the count that made it true, 0 when none did.
    int updateAllGridsReady();

    int directionSign() const { return m_directionSign; }
    // +1 when the upper-right corner's survey X is smaller than the upper-left one's, else -1.
    void updateDirectionSign();

    // Copies the active grid (corners, transform, jump, check buoy, file name, description)
    // into entry n.
    void storeActiveGrid(int n);
    // Copies entry n into the active grid (both jump copies) and makes n the current grid.
    void selectActiveGrid(int n);

private:
    static size_t index(int n);

    std::array<Grid, MaxGrids> m_table{};
    std::array<bool, MaxGrids> m_loaded{};
    Grid m_active;
    SurveyPoint m_distanceJump;
    int m_currentGrid = 1;
    int m_gridCount = 1;
    bool m_allGridsReady = false;
    int m_directionSign = -1;
};

} // namespace skelvin
