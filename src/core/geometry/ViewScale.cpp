#include "core/geometry/ViewScale.h"

#include "core/common/PictureSize.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skelvin {

namespace {

constexpr std::array<double, 9> kZoomSteps = {0.125, 0.25, 0.5, 1, 2, 3, 4, 6, 8};
// Zooms that differ by less than this are the same step (a fit zoom can come close to one).
constexpr double kSameZoom = 1e-6;
// Picture pixel i is centred on picture point i: its left edge is at i - 1/2.
constexpr double kHalfPixel = 0.5;

} // namespace

ViewScale::ViewScale(double zoom) : m_zoom(std::clamp(zoom, kMinZoom, kMaxZoom)) {}

QPointF ViewScale::toView(ScreenPoint twips) const
{
    return {(twips.x / TwipsPerPixel + kHalfPixel) * m_zoom,
            (twips.y / TwipsPerPixel + kHalfPixel) * m_zoom};
}

ScreenPoint ViewScale::toTwips(QPointF view) const
{
    return {(view.x() / m_zoom - kHalfPixel) * TwipsPerPixel,
            (view.y() / m_zoom - kHalfPixel) * TwipsPerPixel};
}

QPoint ViewScale::viewPixel(ScreenPoint twips) const
{
    // The whole view position nearest the point, the lower one of two equally near: at 1:1
    // picture pixel i is view position i, not i + 1.
    const QPointF view = toView(twips);
    return {static_cast<int>(std::ceil(view.x() - kHalfPixel)),
            static_cast<int>(std::ceil(view.y() - kHalfPixel))};
}

int ViewScale::markDivisions() const
{
    return std::max(1, static_cast<int>(std::floor(m_zoom + kSameZoom)));
}

double ViewScale::markStepTwips() const
{
    return TwipsPerPixel / markDivisions();
}

ScreenPoint ViewScale::markAt(QPointF view) const
{
    const double n = markDivisions();
    // Halves round up, so a mouse position on a pixel's left or top edge (where 1:1 clicks
    // land) belongs to that pixel; the allowance keeps a division's rounding (a third at 3x)
    // from tipping a step down.
    constexpr double allowance = 1e-9;
    const auto snap = [&](double pictureCoordinate) {
        return std::floor(pictureCoordinate * n + kHalfPixel + allowance) / n * TwipsPerPixel;
    };
    const ScreenPoint exact = toTwips(view);
    return {snap(exact.x / TwipsPerPixel), snap(exact.y / TwipsPerPixel)};
}

QSize ViewScale::viewSize(QSize picture) const
{
    return {static_cast<int>(std::lround(picture.width() * m_zoom)),
            static_cast<int>(std::lround(picture.height() * m_zoom))};
}

double ViewScale::fitZoom(QSize picture, QSize view)
{
    if (picture.isEmpty() || view.isEmpty())
        return 1.0;
    const double zoom = std::min(static_cast<double>(view.width()) / picture.width(),
                                 static_cast<double>(view.height()) / picture.height());
    return std::clamp(zoom, kMinZoom, 1.0);
}

double ViewScale::zoomIn(double zoom)
{
    for (double step : kZoomSteps) {
        if (step > zoom + kSameZoom)
            return step;
    }
    return kMaxZoom;
}

double ViewScale::zoomOut(double zoom, double minimum)
{
    double next = kMinZoom;
    for (double step : kZoomSteps) {
        if (step < zoom - kSameZoom)
            next = step;
    }
    return std::max(next, minimum);
}

QPointF ViewScale::scrollKeepingAnchor(QPointF scroll, QPointF anchor, double from, double to)
{
    return (scroll + anchor) * (to / from) - anchor;
}

QRect ViewScale::fittedRect(QSize picture, QSize view, bool enlarge)
{
    if (picture.isEmpty() || view.isEmpty())
        return {};
    QSize fitted = picture.scaled(view, Qt::KeepAspectRatio);
    if (!enlarge && fitted.width() > picture.width())
        fitted = picture;
    return {QPoint((view.width() - fitted.width()) / 2, (view.height() - fitted.height()) / 2),
            fitted};
}

} // namespace skelvin
