#pragma once

#include "core/geometry/AccuracyMap.h"

#include <QToolButton>

#include <optional>

namespace skelvin {

class AppContext;
class PictureView;

// "Accuracy Map" in a picture view's bar: while it is on, the picture shows, half transparent,
// the grade the accuracy check would give at every pixel of the active grid's landing area,
// with a legend. The map is computed again only when the grid, the jump position, the
// tournament type or the picture's size changed.
class AccuracyMapSwitch : public QToolButton
{
    Q_OBJECT

public:
    AccuracyMapSwitch(AppContext &context, PictureView &picture);

    // Brings the shown map up to date with the active grid; call after anything that may have
    // changed it.
    void refresh();
    const AccuracyMap &map() const { return m_map; }

private:
    struct Inputs
    {
        GridTransform transform;
        SurveyPoint jump;
        TournamentType type;
        AccuracyMap::Outline outline;
        QSize size;
        bool operator==(const Inputs &other) const;
    };

    void toggledTo(bool on);
    Inputs currentInputs() const;

    AppContext &m_context;
    PictureView &m_picture;
    AccuracyMap m_map;
    std::optional<Inputs> m_shown;
};

} // namespace skelvin
