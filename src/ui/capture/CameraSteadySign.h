#pragma once

#include <QLabel>

class QTimer;

namespace skelvin {

class CaptureDevice;
class GridStore;

// The capture screen's line on the camera: every few seconds, while no jump is recorded, the
// newest frame is searched for the active grid's buoys, and the line says whether the camera
// still sees them where the grid has them.
class CameraSteadySign : public QLabel
{
    Q_OBJECT

public:
    CameraSteadySign(CaptureDevice &device, const GridStore &grids, QWidget *parent = nullptr);

    // Looks at the newest frame now.
    void look();

    static constexpr int kIntervalMs = 3000;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    CaptureDevice &m_device;
    const GridStore &m_grids;
    QTimer *m_timer = nullptr;
};

} // namespace skelvin
