#pragma once

#include "core/common/Tournament.h"
#include "core/geometry/AccuracyLattice.h"
#include "core/geometry/Grid.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace skelvin {

class GridStore;

// What one picture pixel of the accuracy map holds.
enum class MapCell : std::uint8_t { Outside, R, L, C, NH, NoImage };

// How many pixels inside the outline have each grade; `noImage` lie on or beyond the
// transform's vanishing line, where nothing can be measured.
struct AccuracyMapCounts
{
    std::int64_t r = 0;
    std::int64_t l = 0;
    std::int64_t c = 0;
    std::int64_t nh = 0;
    std::int64_t noImage = 0;
};

// The grade the accuracy check would give at every pixel of a picture inside the outline of
// the four corner buoys: pixel x, y is graded at twips 15x, 15y by how much a step of one pixel
// right or down changes the distance there, with the check's own rule. Shows a site planner at
// a glance where a camera's view is good enough for records.
class AccuracyMap
{
public:
    // The corners in outline order: upper left, upper right, lower right, lower left.
    using Outline = std::array<ScreenPoint, 4>;

    AccuracyMap() = default;

    // Grades every pixel of a picture of `size` inside `outline`. `threads` 0 uses every core.
    static AccuracyMap compute(const GridTransform &transform, SurveyPoint jump,
                               TournamentType type, const Outline &outline, QSize size,
                               int threads = 0);
    // The map of the active grid: its transform, its corners and the jump position used for
    // distances.
    static AccuracyMap ofActiveGrid(const GridStore &grids, TournamentType type, QSize size,
                                    int threads = 0);
    static Outline outlineOf(const Grid &grid);

    QSize size() const { return m_size; }
    bool isEmpty() const { return m_cells.empty(); }
    MapCell at(int x, int y) const
    {
        return m_cells[static_cast<size_t>(y) * static_cast<size_t>(m_size.width()) +
                       static_cast<size_t>(x)];
    }
    AccuracyMapCounts counts() const;

    // The map as a picture of its size: each grade's colour half transparent, clear outside the
    // outline.
    QImage overlay() const;
    // The legend under a title: each grade's colour with what it means. The accuracy check's
    // letters on the grid setup picture are read by the same legend.
    static QImage legend(const QString &title = QStringLiteral("Accuracy map"));
    static QColor colour(MapCell cell);

private:
    QSize m_size;
    std::vector<MapCell> m_cells;
};

} // namespace skelvin
