#pragma once

#include "core/geometry/Grid.h"

#include <QPointF>
#include <QRect>
#include <QSize>

namespace skelvin {

// How a picture is shown on screen: `zoom` view pixels per picture pixel, the picture's top-left
// corner at view position 0, 0. Everything the program keeps stays in picture twips (15 per
// picture pixel) whatever the zoom; only this class converts between the two.
//
// One pixel convention at every zoom: picture pixel i covers view positions z*i to z*(i + 1),
// and its centre is the picture point 15*i twips. So a click on the middle of an enlarged pixel
// marks the same twips as a click on that pixel at 1:1, and a mark is drawn on the pixel's
// centre whatever the zoom.
class ViewScale
{
public:
    static constexpr double kMaxZoom = 8.0;
    static constexpr double kMinZoom = 0.125;

    explicit ViewScale(double zoom = 1.0);

    double zoom() const { return m_zoom; }

    // The view position of a picture point (the middle of its pixel for a whole pixel).
    QPointF toView(ScreenPoint twips) const;
    // The exact picture point under a view position.
    ScreenPoint toTwips(QPointF view) const;
    // The view pixel (a mouse position) under a picture point: a click there marks that point.
    QPoint viewPixel(ScreenPoint twips) const;

    // Where a click at a view position marks: the nearest 1/n of a picture pixel around the
    // pixel's centre, n the whole part of the zoom (at least 1). At 4x a mark can be placed to a
    // quarter pixel; at 1:1 or smaller it lands on a whole pixel.
    ScreenPoint markAt(QPointF view) const;
    int markDivisions() const;
    double markStepTwips() const;

    // The size the whole picture takes on screen.
    QSize viewSize(QSize picture) const;

    // The zoom at which the picture fits the view with its aspect kept; never above 1, so a
    // picture smaller than the view shows pixel for pixel.
    static double fitZoom(QSize picture, QSize view);
    // The next zoom step above or below: 1/8, 1/4, 1/2, 1, 2, 3, 4, 6, 8. A zoom between
    // steps goes to the neighbouring step; zooming out stops at `minimum`.
    static double zoomIn(double zoom);
    static double zoomOut(double zoom, double minimum);
    // The scroll position that keeps the picture point under `anchor` (a position inside the
    // visible part) where it is when the zoom changes from `from` to `to`.
    static QPointF scrollKeepingAnchor(QPointF scroll, QPointF anchor, double from, double to);
    // The picture scaled to fit `view` with its aspect kept and centred in it; enlarged too
    // when `enlarge` is set.
    static QRect fittedRect(QSize picture, QSize view, bool enlarge);

private:
    double m_zoom;
};

} // namespace skelvin
