#include "core/grid_setup/GridFileLoader.h"

#include "core/common/NumberText.h"
#include "core/common/Prompter.h"
#include "core/geometry/GridStore.h"

#include <QFileInfo>

namespace skelvin {

Result<GridFiles> readGridFiles(const QString &path)
{
    const Result<GridSetupFileData> grid = readGridSetupFile(path);
    if (!grid)
        return Result<GridFiles>::failure(grid.error());
    GridFiles files{path, grid.value(), std::nullopt};

    const QString cbPath = checkBuoyFilePath(path);
    if (QFileInfo::exists(cbPath)) {
        const Result<CheckBuoyFileData> cb = readCheckBuoyFile(cbPath);
        if (!cb)
            return Result<GridFiles>::failure(cb.error());
        files.checkBuoy = cb.value();
    }
    return files;
}

Grid gridFromFiles(const GridFiles &files, int number)
{
    Grid g;
    g.number = number;
    g.fileName = files.path;
    g.description = files.grid.description;
    g.corners = files.grid.corners;
    g.transform = files.grid.transform;
    g.jump = files.grid.jump;
    if (files.checkBuoy) {
        g.checkBuoyScreen = files.checkBuoy->screen;
        g.checkBuoySurvey = files.checkBuoy->survey;
    }
    return g;
}

void applyGridFiles(GridStore &grids, int n, const GridFiles &files)
{
    grids.setCurrentGrid(n);
    grids.entry(n) = gridFromFiles(files, n);
    grids.selectActiveGrid(n);
    grids.updateDirectionSign();
}

GridRecordFields gridRecordFieldsOf(const Grid &grid, int n)
{
    GridRecordFields f;
    f.fileName = grid.fileName;
    f.description = grid.description;
    f.gridNumber = n;
    for (size_t i = 0; i < grid.corners.size(); ++i) {
        const CornerBuoy &c = grid.corners[i];
        f.cornerScreen[i] = {CStr(c.screen.x), CStr(c.screen.y)};
        f.cornerSurvey[i] = {CStr(c.survey.x), CStr(c.survey.y)};
    }
    f.jump = {CStr(grid.jump.x), CStr(grid.jump.y)};
    f.checkScreenX = grid.checkBuoyScreen.x;
    f.checkScreenY = grid.checkBuoyScreen.y;
    f.checkSurveyX = grid.checkBuoySurvey.x;
    f.checkSurveyY = grid.checkBuoySurvey.y;
    f.checkScreenText = {CStr(grid.checkBuoyScreen.x), CStr(grid.checkBuoyScreen.y)};
    f.checkSurveyText = {CStr(grid.checkBuoySurvey.x), CStr(grid.checkBuoySurvey.y)};
    return f;
}

StartupGridLoad LoadGridAtStartup(GridStore &grids, const QString &path, int n,
                                  Prompter &prompter, const QString &dateText,
                                  const QString &timeText)
{
    StartupGridLoad outcome;
    const Result<GridFiles> files = readGridFiles(path);
    if (!files) {
        outcome.error = files.error();
        return outcome;
    }
    applyGridFiles(grids, n, files.value());
    outcome.fileRead = true;

    if (!files->checkBuoy) {
        prompter.inform(kStartupNoCheckBuoyText);
        return outcome;
    }
    outcome.record = gridRecordLines(gridRecordFieldsOf(grids.entry(n), n),
                                     GridRecordKind::StartupLoad, dateText, timeText);
    if (grids.active().hasCheckBuoy()) {
        grids.setGridLoaded(n, true);
        outcome.loaded = true;
        outcome.readyCount = grids.updateAllGridsReady();
    }
    return outcome;
}

} // namespace skelvin
