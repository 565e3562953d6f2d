#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QString>

class QPainter;

namespace skelvin {

// What a picture view shows, in picture pixels: the picture, a half-transparent overlay of the
// same size, the drawing layer and the lines kept by name. It paints any part of itself at any
// zoom: the picture enlarged in whole pixels (the camera's own pixels, no smoothing) or shrunk
// smoothly; the drawings in view space, so lines keep their width and text its size at every zoom.
class PictureScene
{
public:
    struct Shape
    {
        enum Kind { Line, Circle, Dot, Text } kind = Line;
        QPointF a, b;      // picture pixels
        double radius = 0; // picture pixels
        QString text;
        QColor colour;
        int width = 2; // view pixels
        bool visible = true;
    };

    // Without a picture the drawing layer keeps the standard picture size (12000 x 9000 twips),
    // or more where the drawings reach further (the buoys of a grid set up on a larger picture).
    static constexpr QSize kStandardSize{800, 600};

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    QSize size() const;
    void setOverlay(const QImage &overlay);
    bool hasOverlay() const { return !m_overlay.isNull(); }
    void setOverlayVisible(bool visible) { m_overlayVisible = visible; }
    bool overlayVisible() const { return m_overlayVisible && hasOverlay(); }

    QList<Shape> drawings;
    QHash<QString, Shape> named;

    // Paints the part `viewRect` of the view in which picture pixel 0, 0 stands at `origin` and
    // one picture pixel takes `zoom` view pixels.
    void paint(QPainter &painter, const QRect &viewRect, double zoom, QPointF origin) const;

private:
    struct ScaledCopy
    {
        double zoom = 0;
        QImage image;
    };
    void paintImage(QPainter &painter, const QImage &image, ScaledCopy &shrunk,
                    const QRect &viewRect, double zoom, QPointF origin) const;
    static void paintShape(QPainter &painter, const Shape &shape, double zoom, QPointF origin);

    QImage m_picture;
    QImage m_display; // the picture in the painter's own format, converted once
    QImage m_overlay;
    bool m_overlayVisible = true;
    // A picture shrunk to fit is scaled once for its zoom, not at every repaint.
    mutable ScaledCopy m_shrunkPicture;
    mutable ScaledCopy m_shrunkOverlay;
};

} // namespace skelvin
