#include "core/geometry/GridStore.h"

#include <algorithm>

namespace skelvin {

size_t GridStore::index(int n)
{
    return static_cast<size_t>(std::clamp(n, 1, MaxGrids) - 1);
}

void GridStore::setActiveJump(SurveyPoint jump)
{
    m_active.jump = jump;
    m_distanceJump = jump;
}

Grid &GridStore::entry(int n)
{
    return m_table[index(n)];
}

const Grid &GridStore::entry(int n) const
{
    return m_table[index(n)];
}

void GridStore::setCurrentGrid(int n)
{
    m_currentGrid = std::clamp(n, 1, MaxGrids);
}

void GridStore::setGridCount(int count)
{
    m_gridCount = (count <= 1 || count > MaxGrids) ? 1 : count;
}

bool GridStore::gridLoaded(int n) const
{
    return m_loaded[index(n)];
}

void GridStore::setGridLoaded(int n, bool loaded)
{
    m_loaded[index(n)] = loaded;
}

int GridStore::updateAllGridsReady()
{
    for (int i = 1; i <= m_gridCount; ++i) {
        if (!gridLoaded(i))
            return 0;
    }
    m_allGridsReady = true;
    return m_gridCount;
}

void GridStore::updateDirectionSign()
{
    const double upperRight = m_active.corner(Corner::UpperRight).survey.x;
    const double upperLeft = m_active.corner(Corner::UpperLeft).survey.x;
    m_directionSign = upperRight < upperLeft ? 1 : -1;
}

void GridStore::storeActiveGrid(int n)
{
    Grid &target = entry(n);
    target = m_active;
    target.number = static_cast<int>(index(n)) + 1;
}

void GridStore::selectActiveGrid(int n)
{
    m_active = entry(n);
    m_active.number = static_cast<int>(index(n)) + 1;
    m_distanceJump = m_active.jump;
    setCurrentGrid(n);
}

} // namespace skelvin
