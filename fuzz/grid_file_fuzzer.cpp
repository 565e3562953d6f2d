#include "FuzzSupport.h"
#include "core/geometry/GridStore.h"
#include "core/grid_setup/GridFileLoader.h"

#include <QFile>

// Any bytes as a grid setup file and its check buoy file (the input split at its first form
// feed; without one there is no check buoy file), loaded as at start-up: read, checked, put
// into the grid table and turned into a grid record.
SKELVIN_FUZZ_TARGET(grid_file_fuzzer)
{
    using namespace skelvin;
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype split = input.indexOf('\f');
    const QByteArray grid = split < 0 ? input : input.left(split);
    const QString path = fuzz::writeInput(QStringLiteral("grid.ipt"), grid);
    const QString checkPath = checkBuoyFilePath(path);
    if (split < 0)
        QFile::remove(checkPath);
    else
        (void)fuzz::writeInput(checkPath.section(QLatin1Char('/'), -1), input.mid(split + 1));
    GridStore grids;
    fuzz::SilentPrompter prompter;
    const StartupGridLoad load = LoadGridAtStartup(grids, path, 1, prompter,
                                                   QStringLiteral("12-08-2026"),
                                                   QStringLiteral("10:00:00"));
    if (load.fileRead)
        (void)gridRecordFieldsOf(grids.active(), 1);
    return 0;
}
