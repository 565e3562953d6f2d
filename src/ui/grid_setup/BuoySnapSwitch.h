#pragma once

#include "core/geometry/Grid.h"
#include "core/grid_setup/BuoySnap.h"

#include <QObject>

#include <optional>

class QCheckBox;
class QLabel;

namespace skelvin {

class PictureView;
class SettingsStore;

// The grid setup screen's "Snap to buoy": while it is checked (the default, kept in the
// settings), a click near a buoy puts the marker on the buoy's centre and its outline is drawn.
class BuoySnapSwitch : public QObject
{
    Q_OBJECT

public:
    BuoySnapSwitch(SettingsStore &settings, PictureView &picture, QLabel &status);

    QCheckBox *checkBox() const { return m_box; }
    // Where a click's marker goes.
    ScreenPoint snapped(ScreenPoint click);
    // Says on the status line what the last click found and draws the outline of its buoy
    // (after the fields are filled and the markers drawn).
    void showFound();

private:
    SettingsStore &m_settings;
    PictureView &m_picture;
    QLabel &m_status;
    QCheckBox *m_box = nullptr;
    std::optional<BuoySnap> m_last;
};

} // namespace skelvin
