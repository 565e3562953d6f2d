#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/CameraWatch.h"

#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace skelvin {

class DebugLog;
class GridStore;
class SettingsStore;

// The lines under the measure screen's picture: whether the picture may not belong to the grid,
// whether the camera stands where the grid was built, and "Follow camera" when it moved.
class CameraWatchBar : public QWidget
{
    Q_OBJECT

public:
    CameraWatchBar(GridStore &grids, const SettingsStore &settings, DebugLog &debugLog,
                   QWidget *parent = nullptr);

    // Looks for the active grid's buoys in a picture about to be measured. A grid followed to
    // the last picture's camera is given up first: every picture starts on the grid itself.
    void watch(const QImage &picture);
    const CameraWatch &lastWatch() const { return m_watch; }

signals:
    // The active grid changed: followed to the camera, or back to the grid itself.
    void gridChanged();
    // The camera was followed: what the session log is to say about it.
    void followed(const QString &logText);

private:
    QLabel *m_warning = nullptr;
    QLabel *m_sign = nullptr;
    QPushButton *m_follow = nullptr;
    GridStore &m_grids;
    const SettingsStore &m_settings;
    DebugLog &m_debugLog;
    CameraWatch m_watch;
    // The grid as it was while the active grid is followed to this picture's camera.
    std::optional<Grid> m_gridBeforeFollow;
    int m_followedGrid = 0;

    void follow();
};

} // namespace skelvin
