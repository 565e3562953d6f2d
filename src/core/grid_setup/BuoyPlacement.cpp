#include "core/grid_setup/BuoyPlacement.h"

namespace skelvin {

std::array<bool, BuoyCount> BuoyPlacement::place(Buoy chosen, ScreenPoint point, bool locked)
{
    const std::array<bool, BuoyCount> moved = m_markers.place(chosen, point, locked);
    for (size_t i = 0; i < moved.size(); ++i)
        m_drawnAsCross[i] = m_drawnAsCross[i] || moved[i];
    return moved;
}

std::array<bool, BuoyCount> BuoyPlacement::nudge(Buoy chosen, double dxTwips, double dyTwips,
                                                 bool locked)
{
    return m_markers.nudge(chosen, dxTwips, dyTwips, locked);
}

std::optional<QString> BuoyPlacement::lockRefusal(const GridEntryTexts &t)
{
    const bool missing = t.upper_left_x == QLatin1String("auto") ||
                         t.upper_right_x == QLatin1String("auto") ||
                         t.lower_left_x == QLatin1String("auto") ||
                         t.lower_right_x == QLatin1String("auto") ||
                         t.txtCheckX == QLatin1String("CheckX");
    if (!missing)
        return std::nullopt;
    return QStringLiteral("Cannot Lock Grid Until buoy positions have been entered for all four "
                          "buoys and check buoy");
}

} // namespace skelvin
