#pragma once

#include "core/common/Result.h"
#include "core/geometry/GridRecord.h"
#include "core/grid_setup/GridSetupFile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace skelvin {

class GridStore;
class Prompter;

// A grid setup file read together with its check buoy file, when that exists.
struct GridFiles
{
    QString path;
    GridSetupFileData grid;
    std::optional<CheckBuoyFileData> checkBuoy; // none: an older setup without check buoy
};

// Reads both files. A missing check buoy file is not an error; an unreadable or malformed one is.
Result<GridFiles> readGridFiles(const QString &path);

// The grid the files describe, as table entry `number` (no check buoy: 0, 0).
Grid gridFromFiles(const GridFiles &files, int number);

// Puts the grid into table entry n and into the active grid (both jump copies), makes n the
// current grid and sets the direction sign.
void applyGridFiles(GridStore &grids, int n, const GridFiles &files);

// The setup screen's field texts after a load: the numbers as the fields show them.
GridRecordFields gridRecordFieldsOf(const Grid &grid, int n);

inline const QString kStartupNoCheckBuoyText =
    QStringLiteral("Error in load - no check buoy found - setup grid again");

// What loading one grid at start-up did.
struct StartupGridLoad
{
    bool fileRead = false;       // the grid file was read into the grid
    QString error;               // why it was not (unreadable or malformed file)
    bool loaded = false;         // it had a check buoy and is now usable for measuring
    QStringList record;          // the grid record to append to the results file (when loaded)
    int readyCount = 0;          // the grid count that made every grid ready, 0 when none
};

// Loads grid n from the named file at start-up, without dialogs: reads the grid into table
// entry n and the active grid; with a check buoy the grid becomes loaded and its record is
// built; without one the operator is told the grid must be set up again.
StartupGridLoad LoadGridAtStartup(GridStore &grids, const QString &path, int n,
                                  Prompter &prompter, const QString &dateText,
                                  const QString &timeText);

} // namespace skelvin
