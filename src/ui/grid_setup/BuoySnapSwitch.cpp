#include "ui/grid_setup/BuoySnapSwitch.h"

#include "core/common/PictureSize.h"
#include "core/common/SettingsStore.h"
#include "ui/common/Named.h"
#include "ui/common/PictureView.h"

#include <QCheckBox>
#include <QLabel>

namespace skelvin {

BuoySnapSwitch::BuoySnapSwitch(SettingsStore &settings, PictureView &picture, QLabel &status)
    : QObject(&picture), m_settings(settings), m_picture(picture), m_status(status)
{
    m_box = named(new QCheckBox(QStringLiteral("Snap to buoy")), "chkSnapToBuoy");
    m_box->setChecked(settings.readFlag(kSnapToBuoyKey, true));
    connect(m_box, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.writeFlag(kSnapToBuoyKey, on); });
}

ScreenPoint BuoySnapSwitch::snapped(ScreenPoint click)
{
    m_last.reset();
    if (!m_box->isChecked() || m_picture.picture().isNull())
        return click;
    m_last = snapToBuoy(m_picture.picture(), click);
    return m_last->point;
}

void BuoySnapSwitch::showFound()
{
    if (!m_last)
        return;
    m_status.setText(m_last->status);
    if (!m_last->find.found)
        return;
    m_picture.drawCircle(m_last->point, m_last->find.diameterPx / 2.0 * TwipsPerPixel,
                         Qt::yellow);
}

} // namespace skelvin
