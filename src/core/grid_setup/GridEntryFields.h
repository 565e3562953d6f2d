#pragma once

#include "core/geometry/GridEntryTexts.h"
#include "core/grid_setup/GridMarkers.h"

#include <QString>
#include <QStringList>

#include <array>

namespace skelvin {

class GridStore;

// The entry fields of the grid setup screen, by the names the screen gives them.

// One buoy's row: the buoy, its option's caption and name, and its four fields (screen x,
// screen y, survey X, survey Y) with the texts they show before anything is entered.
struct BuoyFieldRow
{
    Buoy buoy;
    const char *caption;
    const char *option;
    const char *fields[4];
    const char *initial[4];
};

// The five rows in the screen's order: the four corners, then the check buoy.
const std::array<BuoyFieldRow, BuoyCount> &buoyFieldRows();

// Every field the entry texts hold: the buoy rows' fields row by row, the jump position, the
// grid file's name and description.
QStringList entryFieldNames();

// The text of the field `name` in `texts`; null for a name that is no entry field.
QString *entryFieldText(GridEntryTexts &texts, const QString &name);
const QString *entryFieldText(const GridEntryTexts &texts, const QString &name);

// What typing into a field changes at once in the active grid: a corner's or the check buoy's
// survey value, or the jump position (the stored copy and the one distances are measured
// from). Text that is no number counts as 0. Screen positions and the file fields change
// nothing here: the markers and Complete take those.
void applyFieldEdit(GridStore &grids, const QString &name, const QString &text);

} // namespace skelvin
