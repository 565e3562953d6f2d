#include "ui/capture/PreviewView.h"

#include "core/capture/CaptureDevice.h"

#include <QPainter>
#include <QResizeEvent>

namespace skelvin {

PreviewView::PreviewView(CaptureDevice &device, QWidget *parent) : QWidget(parent), m_device(device)
{
    setObjectName(QStringLiteral("Grabbex1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&m_device, &CaptureDevice::previewPictureReady, this, &PreviewView::takePicture);
}

void PreviewView::takePicture()
{
    QImage newest = m_device.takePreviewPicture();
    if (newest.isNull())
        return;
    m_picture = std::move(newest);
    update();
}

void PreviewView::resizeEvent(QResizeEvent *event)
{
    m_device.setPreviewSize(event->size() * devicePixelRatio());
    QWidget::resizeEvent(event);
}

void PreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 24, 24));
    if (m_picture.isNull()) {
        painter.setPen(Qt::lightGray);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No picture from the camera"));
        return;
    }
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_picture);
}

} // namespace skelvin
