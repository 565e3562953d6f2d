#include "ui/common/PictureScene.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace skelvin {

namespace {

// Zooms this close to 1 are drawn pixel for pixel.
constexpr double kUnitZoomTolerance = 1e-9;

} // namespace

void PictureScene::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_display = picture.isNull() || picture.format() == QImage::Format_RGB32
                    ? picture
                    : picture.convertToFormat(picture.hasAlphaChannel()
                                                  ? QImage::Format_ARGB32_Premultiplied
                                                  : QImage::Format_RGB32);
    m_shrunkPicture = {};
}

QSize PictureScene::size() const
{
    if (!m_picture.isNull())
        return m_picture.size();
    // Room for a marker's circle beyond its centre.
    constexpr double margin = 40;
    double right = kStandardSize.width();
    double bottom = kStandardSize.height();
    const auto reach = [&](const Shape &s) {
        for (const QPointF &p : {s.a, s.b}) {
            right = std::max(right, p.x() + s.radius + margin);
            bottom = std::max(bottom, p.y() + s.radius + margin);
        }
    };
    for (const Shape &s : drawings)
        reach(s);
    for (const Shape &s : named) {
        if (s.visible)
            reach(s);
    }
    // Never more than the largest picture a camera gives, whatever a stray point says.
    constexpr double largest = 8192;
    return {static_cast<int>(std::ceil(std::min(right, largest))),
            static_cast<int>(std::ceil(std::min(bottom, largest)))};
}

void PictureScene::setOverlay(const QImage &overlay)
{
    m_overlay =
        overlay.isNull() ? overlay : overlay.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_shrunkOverlay = {};
}

void PictureScene::paint(QPainter &painter, const QRect &viewRect, double zoom,
                         QPointF origin) const
{
    painter.save();
    painter.setClipRect(viewRect);
    paintImage(painter, m_display, m_shrunkPicture, viewRect, zoom, origin);
    if (overlayVisible())
        paintImage(painter, m_overlay, m_shrunkOverlay, viewRect, zoom, origin);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Shape &s : drawings)
        paintShape(painter, s, zoom, origin);
    for (const Shape &s : named) {
        if (s.visible)
            paintShape(painter, s, zoom, origin);
    }
    painter.restore();
}

void PictureScene::paintImage(QPainter &painter, const QImage &image, ScaledCopy &shrunk,
                              const QRect &viewRect, double zoom, QPointF origin) const
{
    if (image.isNull())
        return;
    if (std::abs(zoom - 1) < kUnitZoomTolerance) {
        const QPoint at = origin.toPoint();
        painter.drawImage(viewRect.topLeft(), image, viewRect.translated(-at));
        return;
    }
    if (zoom < 1) {
        if (shrunk.zoom != zoom || shrunk.image.isNull()) {
            const QSize size(std::max(1, static_cast<int>(std::lround(image.width() * zoom))),
                             std::max(1, static_cast<int>(std::lround(image.height() * zoom))));
            shrunk.image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            shrunk.zoom = zoom;
        }
        const QPoint at = origin.toPoint();
        painter.drawImage(viewRect.topLeft(), shrunk.image, viewRect.translated(-at));
        return;
    }
    // Enlarged: only the picture pixels under the part being painted, each a block of whole
    // view pixels.
    const QRectF wanted((viewRect.left() - origin.x()) / zoom, (viewRect.top() - origin.y()) / zoom,
                        viewRect.width() / zoom, viewRect.height() / zoom);
    const int left = std::max(0, static_cast<int>(std::floor(wanted.left())));
    const int top = std::max(0, static_cast<int>(std::floor(wanted.top())));
    const int right = std::min(image.width(), static_cast<int>(std::ceil(wanted.right())) + 1);
    const int bottom = std::min(image.height(), static_cast<int>(std::ceil(wanted.bottom())) + 1);
    if (right <= left || bottom <= top)
        return;
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(origin.x() + left * zoom, origin.y() + top * zoom, source.width() * zoom,
                        source.height() * zoom);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image, source);
}

void PictureScene::paintShape(QPainter &painter, const Shape &s, double zoom, QPointF origin)
{
    // Picture point i is the centre of picture pixel i, which covers i*zoom to (i + 1)*zoom.
    const auto onPicture = [&](QPointF p) { return origin + (p + QPointF(0.5, 0.5)) * zoom; };
    const QPointF a = onPicture(s.a);
    painter.setPen(QPen(s.colour, s.width));
    painter.setBrush(Qt::NoBrush);
    switch (s.kind) {
    case Shape::Line:
        painter.drawLine(a, onPicture(s.b));
        break;
    case Shape::Circle:
        painter.drawEllipse(a, s.radius * zoom, s.radius * zoom);
        break;
    case Shape::Dot:
        painter.drawPoint(a);
        break;
    case Shape::Text:
        painter.drawText(a + QPointF(0, painter.fontMetrics().ascent()), s.text);
        break;
    }
}

} // namespace skelvin
