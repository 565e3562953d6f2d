#include "ui/frames/FrameView.h"

#include "core/geometry/ViewScale.h"

#include <QMouseEvent>
#include <QPainter>

namespace skelvin {

FrameView::FrameView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void FrameView::setFrame(int frame, const QImage &image)
{
    // The decoder's 24-bit pictures are converted once here, not at every paint.
    m_image = image.format() == QImage::Format_RGB32 ? image
                                                     : image.convertToFormat(QImage::Format_RGB32);
    m_frame = frame;
    if (m_zoom != Zoom::Fit)
        setFixedSize(pictureRect().size());
    update();
}

void FrameView::clear()
{
    m_image = QImage();
    m_frame = -1;
    update();
}

void FrameView::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    if (zoom == Zoom::Fit) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (!m_image.isNull()) {
        setFixedSize(pictureRect().size());
    }
    updateGeometry();
    update();
}

QRect FrameView::pictureRect() const
{
    if (m_image.isNull())
        return {};
    switch (m_zoom) {
    case Zoom::Actual:
        return {QPoint(0, 0), m_image.size()};
    case Zoom::Double:
        return {QPoint(0, 0), m_image.size() * 2};
    case Zoom::Fit:
        break;
    }
    // Played frames fill the view, enlarged when the view is the larger.
    return ViewScale::fittedRect(m_image.size(), size(), true);
}

QSize FrameView::sizeHint() const
{
    return m_zoom == Zoom::Fit || m_image.isNull() ? QSize(640, 480) : pictureRect().size();
}

void FrameView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect target = pictureRect();
    if (target.isEmpty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Black around the picture only, so a full repaint does not draw every pixel twice.
    const QRegion around = QRegion(rect()).subtracted(target);
    for (const QRect &r : around)
        painter.fillRect(r, Qt::black);
    // Scaled down smoothly to fit, enlarged in whole pixels at 2:1 so the operator sees the
    // pixels the camera recorded.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom == Zoom::Fit);
    painter.drawImage(target, m_image);
    painter.end();
    emit painted(m_frame);
}

void FrameView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}

} // namespace skelvin
