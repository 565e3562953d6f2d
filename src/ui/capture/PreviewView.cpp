#include "ui/capture/PreviewView.h"

#include "core/capture/CaptureDevice.h"
#include "core/capture/PreviewWorker.h"

#include <QPainter>
#include <QResizeEvent>

#include <chrono>
#include <cstdlib>

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
    m_picture.setDevicePixelRatio(devicePixelRatioF());
    m_pictureShown = false;
    update();
}

void PreviewView::resizeEvent(QResizeEvent *event)
{
    m_device.setPreviewSize(event->size() * devicePixelRatioF());
    QWidget::resizeEvent(event);
}

void PreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(rect(), QColor(24, 24, 24));
        painter.setPen(Qt::lightGray);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No picture from the camera"));
        return;
    }
    // The picture's size in the view's own units.
    const QSizeF own = m_picture.deviceIndependentSize();
    QSize fitted = own.toSize().scaled(size(), Qt::KeepAspectRatio);
    // Made for this view (its sides at most a pixel or two off the fitted size, from even
    // rounding): painted as it is, a plain copy.
    if (std::abs(fitted.width() - own.width()) <= 2 &&
        std::abs(fitted.height() - own.height()) <= 2)
        fitted = own.toSize();
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    // The dark ground only around the picture.
    const QRegion ground = QRegion(rect()).subtracted(QRegion(target));
    for (const QRect &part : ground)
        painter.fillRect(part, QColor(24, 24, 24));
    if (fitted == own.toSize()) {
        painter.drawImage(target.topLeft(), m_picture);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    }
    if (!m_pictureShown) {
        m_pictureShown = true;
        bool ok = false;
        const qint64 arrivalUs = m_picture.text(kPreviewArrivalUsKey).toLongLong(&ok);
        const qint64 nowUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
        emit pictureShown(ok ? nowUs - arrivalUs : -1);
    }
}

} // namespace skelvin
