#include "core/geometry/AccuracyMap.h"

#include "core/common/PictureSize.h"
#include "core/geometry/GridStore.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace skelvin {

namespace {

// Half transparent: the water under the colours stays readable.
constexpr int kOverlayAlpha = 120;
// Fewer rows than this for each thread are not worth a thread.
constexpr int kMinRowsPerThread = 64;

MapCell cellOf(AccuracyGrade grade)
{
    switch (grade) {
    case AccuracyGrade::R:
        return MapCell::R;
    case AccuracyGrade::L:
        return MapCell::L;
    case AccuracyGrade::C:
        return MapCell::C;
    case AccuracyGrade::NH:
        break;
    }
    return MapCell::NH;
}

// The pixels of one row inside the outline: even-odd spans between the crossings of the row's
// line (y in pixels) with the outline's edges, each edge taken with its upper end and without
// its lower end, so neighbouring spans neither overlap nor leave gaps. Pixel x lies inside when
// a <= x < b for one span [a, b).
std::vector<std::pair<int, int>> rowSpans(const std::array<QPointF, 4> &outline, double y,
                                          int width)
{
    std::vector<double> crossings;
    crossings.reserve(outline.size());
    for (size_t i = 0; i < outline.size(); ++i) {
        const QPointF a = outline[i];
        const QPointF b = outline[(i + 1) % outline.size()];
        if (a.y() == b.y())
            continue;
        const double top = std::min(a.y(), b.y());
        const double bottom = std::max(a.y(), b.y());
        if (y < top || y >= bottom)
            continue;
        crossings.push_back(a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
    }
    std::sort(crossings.begin(), crossings.end());
    std::vector<std::pair<int, int>> spans;
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const int from = std::max(0, static_cast<int>(std::ceil(crossings[i])));
        const int to = std::min(width, static_cast<int>(std::ceil(crossings[i + 1])));
        if (from < to)
            spans.emplace_back(from, to);
    }
    return spans;
}

struct MapJob
{
    const GridTransform &transform;
    SurveyPoint jump;
    TournamentType type;
    std::array<QPointF, 4> outline; // picture pixels
    QSize size;
    std::vector<MapCell> &cells;

    // The distance at a pixel position, NaN where the point has no image.
    double distanceAt(int x, int y) const
    {
        const std::optional<JumpMeasurement> m =
            finiteMeasurement(transform, jump, type, {x * TwipsPerPixel, y * TwipsPerPixel});
        return m ? m->distanceMetres : std::numeric_limits<double>::quiet_NaN();
    }

    void fillRow(std::vector<double> &row, int y, int from, int to) const
    {
        for (int x = from; x <= to; ++x)
            row[static_cast<size_t>(x - from)] = distanceAt(x, y);
    }

    // Grades rows [firstRow, endRow). Each distance is computed once: the row below becomes the
    // next row's own, and the pixel to the right is the next pixel.
    void run(int firstRow, int endRow) const
    {
        const int width = size.width();
        double left = width;
        double right = 0;
        for (const QPointF &p : outline) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
        }
        const int from = std::clamp(static_cast<int>(std::floor(left)), 0, width);
        const int to = std::clamp(static_cast<int>(std::ceil(right)), 0, width); // one past
        if (from >= to)
            return;
        std::vector<double> here(static_cast<size_t>(to - from + 1));
        std::vector<double> below(here.size());
        bool hereFilled = false;
        for (int y = firstRow; y < endRow; ++y) {
            const auto spans = rowSpans(outline, y, width);
            if (spans.empty()) {
                hereFilled = false;
                continue;
            }
            if (!hereFilled)
                fillRow(here, y, from, to);
            fillRow(below, y + 1, from, to);
            MapCell *cellRow = cells.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
            for (const auto &[a, b] : spans) {
                for (int x = a; x < b; ++x) {
                    const auto i = static_cast<size_t>(x - from);
                    const double delta = accuracyDelta(here[i], here[i + 1], below[i]);
                    cellRow[x] =
                        std::isfinite(delta) ? cellOf(gradeOfDelta(delta)) : MapCell::NoImage;
                }
            }
            std::swap(here, below);
            hereFilled = true;
        }
    }
};

} // namespace

AccuracyMap::Outline AccuracyMap::outlineOf(const Grid &grid)
{
    return {grid.corner(Corner::UpperLeft).screen, grid.corner(Corner::UpperRight).screen,
            grid.corner(Corner::LowerRight).screen, grid.corner(Corner::LowerLeft).screen};
}

AccuracyMap AccuracyMap::compute(const GridTransform &transform, SurveyPoint jump,
                                 TournamentType type, const Outline &outline, QSize size,
                                 int threads)
{
    AccuracyMap map;
    if (size.isEmpty())
        return map;
    map.m_size = size;
    map.m_cells.assign(static_cast<size_t>(size.width()) * static_cast<size_t>(size.height()),
                       MapCell::Outside);
    std::array<QPointF, 4> pixels;
    for (size_t i = 0; i < outline.size(); ++i)
        pixels[i] = {outline[i].x / TwipsPerPixel, outline[i].y / TwipsPerPixel};
    const MapJob job{transform, jump, type, pixels, size, map.m_cells};

    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::clamp(size.height() / kMinRowsPerThread, 1, threads);
    std::vector<std::thread> workers;
    const int rowsEach = (size.height() + threads - 1) / threads;
    for (int t = 1; t < threads; ++t) {
        const int first = t * rowsEach;
        const int end = std::min(size.height(), first + rowsEach);
        if (first < end)
            workers.emplace_back([&job, first, end] { job.run(first, end); });
    }
    job.run(0, std::min(size.height(), rowsEach));
    for (std::thread &w : workers)
        w.join();
    return map;
}

AccuracyMap AccuracyMap::ofActiveGrid(const GridStore &grids, TournamentType type, QSize size,
                                      int threads)
{
    const Grid &grid = grids.active();
    return compute(grid.transform, grids.distanceJump(), type, outlineOf(grid), size, threads);
}

AccuracyMapCounts AccuracyMap::counts() const
{
    AccuracyMapCounts c;
    for (MapCell cell : m_cells) {
        switch (cell) {
        case MapCell::R:
            ++c.r;
            break;
        case MapCell::L:
            ++c.l;
            break;
        case MapCell::C:
            ++c.c;
            break;
        case MapCell::NH:
            ++c.nh;
            break;
        case MapCell::NoImage:
            ++c.noImage;
            break;
        case MapCell::Outside:
            break;
        }
    }
    return c;
}

QColor AccuracyMap::colour(MapCell cell)
{
    switch (cell) {
    case MapCell::R:
        return {0, 200, 60};
    case MapCell::L:
        return {240, 220, 0};
    case MapCell::C:
        return {255, 140, 0};
    case MapCell::NH:
        return {230, 20, 20};
    case MapCell::NoImage:
        return {128, 128, 128};
    case MapCell::Outside:
        break;
    }
    return Qt::transparent;
}

QImage AccuracyMap::overlay() const
{
    QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    std::array<QRgb, 6> pixel{};
    for (int cell = 0; cell < 6; ++cell) {
        const QColor c = colour(static_cast<MapCell>(cell));
        pixel[static_cast<size_t>(cell)] =
            static_cast<MapCell>(cell) == MapCell::Outside
                ? qRgba(0, 0, 0, 0)
                : qPremultiply(qRgba(c.red(), c.green(), c.blue(), kOverlayAlpha));
    }
    for (int y = 0; y < m_size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const MapCell *cells =
            m_cells.data() + static_cast<size_t>(y) * static_cast<size_t>(m_size.width());
        for (int x = 0; x < m_size.width(); ++x)
            line[x] = pixel[static_cast<size_t>(cells[x])];
    }
    return image;
}

QImage AccuracyMap::legend(const QString &title)
{
    const std::pair<MapCell, const char *> rows[] = {{MapCell::R, "R   up to 0.10 m a pixel"},
                                                     {MapCell::L, "L   up to 0.15 m a pixel"},
                                                     {MapCell::C, "C   up to 0.20 m a pixel"},
                                                     {MapCell::NH, "NH  more than 0.20 m a pixel"}};
    QFont font;
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    const int line = metrics.height() + 4;
    const int swatch = metrics.height();
    int textWidth = metrics.horizontalAdvance(title);
    for (const auto &[cell, text] : rows)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(QString::fromLatin1(text)));
    QImage image(swatch + textWidth + 24, line * 5 + 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 0, 0, 190));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 4, image.width() - 16, line), Qt::AlignVCenter, title);
    int y = 4 + line;
    for (const auto &[cell, text] : rows) {
        painter.fillRect(QRect(8, y + 2, swatch, swatch - 2), colour(cell));
        painter.drawText(QRect(16 + swatch, y, textWidth + 4, line), Qt::AlignVCenter,
                         QString::fromLatin1(text));
        y += line;
    }
    return image;
}

} // namespace skelvin
