#include "ui/capture/CameraSteadySign.h"

#include "core/capture/CaptureDevice.h"
#include "core/geometry/GridStore.h"
#include "core/vision/CameraWatch.h"

#include <QTimer>

namespace skelvin {

CameraSteadySign::CameraSteadySign(CaptureDevice &device, const GridStore &grids, QWidget *parent)
    : QLabel(parent), m_device(device), m_grids(grids), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("lblCameraSign"));
    setWordWrap(true);
    m_timer->setInterval(kIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &CameraSteadySign::look);
}

void CameraSteadySign::look()
{
    // A jump being recorded has every moment of the machine; the camera is looked at after.
    if (m_device.Capturing())
        return;
    const QImage frame = m_device.newestFrame();
    const int n = m_grids.currentGrid();
    if (frame.isNull() || !m_grids.gridLoaded(n)) {
        clear();
        return;
    }
    const CameraWatch watch = watchCamera(frame, m_grids.active());
    setText(captureSignText(n, watch));
    setStyleSheet(watch.moved || watch.check.foundCount == 0
                      ? QStringLiteral("color: #c00000; font-weight: bold;")
                      : QString());
}

void CameraSteadySign::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    m_timer->start();
    QTimer::singleShot(0, this, &CameraSteadySign::look);
}

void CameraSteadySign::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QLabel::hideEvent(event);
}

} // namespace skelvin
