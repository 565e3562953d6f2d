#include "core/grid_setup/GridFileCommands.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/PathExists.h"
#include "core/common/Prompter.h"
#include "core/common/SettingsStore.h"
#include "core/common/TournamentState.h"
#include "core/geometry/GridPicture.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/SetupValidation.h"
#include "core/grid_setup/GridFileLoader.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"

#include <QDir>
#include <QFileInfo>

namespace skelvin {

namespace {

const QString kCurrentGridTitle = QStringLiteral("Current Grid");
const QString kGridNumberTitle = QStringLiteral("Grid Number");

// "Save Grid 2?" answered No: the number is asked until it names a grid in use. Nothing when
// the operator cancels.
std::optional<int> askGridNumber(GridFileServices &services, const QString &verb, int captionGrid,
                                 const QString &question)
{
    Prompter &prompter = services.prompter;
    if (prompter.askYesNo(verb + QStringLiteral("Grid %1").arg(captionGrid), kCurrentGridTitle))
        return captionGrid;
    while (true) {
        const std::optional<QString> typed =
            prompter.input({question, kGridNumberTitle, QString()});
        if (!typed)
            return std::nullopt;
        const double n = Val(*typed);
        if (n >= 1 && n <= services.grids.gridCount())
            return static_cast<int>(n);
    }
}

// The file dialog of both commands, in the setup files directory. Nothing when that directory
// does not exist (the operator is told) or the dialog is cancelled.
std::optional<QString> chooseGridFile(GridFileServices &services, const QString &filterText,
                                      bool saving)
{
    const TournamentState &tournament = services.tournament;
    const bool useDefault = tournament.setupFilesPath.trimmed().isEmpty();
    const QString directory =
        useDefault ? tournament.defaultSetupFilesPath : tournament.setupFilesPath;
    // The default folder is made when first needed; a folder the operator named must exist.
    const bool usable = PathExists(directory, PathFolder) ||
                        (useDefault && !directory.isEmpty() && QDir().mkpath(directory));
    if (!usable) {
        services.prompter.inform(kInvalidSetupPathText, MessageIcon::Exclamation);
        return std::nullopt;
    }
    FileDialogRequest request;
    // Saving accepts a name that does not exist yet.
    request.kind = saving ? FileDialogKind::Save : FileDialogKind::Open;
    request.title = saving ? QStringLiteral("Save Grid") : QStringLiteral("Load Grid");
    request.startDirectory = directory;
    request.filters = parseFilterText(filterText);
    request.filterIndex = 3;
    return services.prompter.chooseFile(request);
}

QString missingCheckBuoyText()
{
    return QStringLiteral("I cannot find a  check  buoy file for this setup.  That means ") +
           QStringLiteral("you are inputting an old set-up file that does not") +
           QStringLiteral(" have a check buoy.  To complete the set up correctly,") +
           QStringLiteral(" you must have a check buoy input to the set up.");
}

} // namespace

QString gridFileExistsText(const QString &path)
{
    return path + QStringLiteral(" already exists.\nDo you want to replace it?");
}

QString withGridFileExtension(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".ipt") : path;
}

GridEntryTexts entryTextsOf(const Grid &grid, bool withCheckBuoy)
{
    GridEntryTexts t;
    const auto screen = [&](Corner c) { return grid.corner(c).screen; };
    const auto survey = [&](Corner c) { return grid.corner(c).survey; };
    t.upper_left_x = CStr(screen(Corner::UpperLeft).x);
    t.upper_left_y = CStr(screen(Corner::UpperLeft).y);
    t.upper_right_x = CStr(screen(Corner::UpperRight).x);
    t.upper_right_y = CStr(screen(Corner::UpperRight).y);
    t.lower_left_x = CStr(screen(Corner::LowerLeft).x);
    t.lower_left_y = CStr(screen(Corner::LowerLeft).y);
    t.lower_right_x = CStr(screen(Corner::LowerRight).x);
    t.lower_right_y = CStr(screen(Corner::LowerRight).y);
    t.ul_survey_x = CStr(survey(Corner::UpperLeft).x);
    t.ul_survey_y = CStr(survey(Corner::UpperLeft).y);
    t.ur_survey_x = CStr(survey(Corner::UpperRight).x);
    t.ur_survey_y = CStr(survey(Corner::UpperRight).y);
    t.ll_survey_x = CStr(survey(Corner::LowerLeft).x);
    t.ll_survey_y = CStr(survey(Corner::LowerLeft).y);
    t.lr_survey_x = CStr(survey(Corner::LowerRight).x);
    t.lr_survey_y = CStr(survey(Corner::LowerRight).y);
    t.jump_x = CStr(grid.jump.x);
    t.jump_y = CStr(grid.jump.y);
    if (withCheckBuoy) {
        t.txtCheckXpix = CStr(grid.checkBuoyScreen.x);
        t.txtCheckYpix = CStr(grid.checkBuoyScreen.y);
        t.txtCheckX = CStr(grid.checkBuoySurvey.x);
        t.txtCheckY = CStr(grid.checkBuoySurvey.y);
    } else {
        t.txtCheckXpix = QStringLiteral("auto");
        t.txtCheckYpix = QStringLiteral("auto");
        t.txtCheckX.clear();
        t.txtCheckY.clear();
    }
    t.ipt_file_description = grid.fileName;
    t.ipt_file_description_2 = grid.description;
    return t;
}

GridSaveOutcome gridSave(GridFileServices &services, const GridSaveRequest &request)
{
    GridSaveOutcome outcome;
    const std::optional<QString> path = chooseGridFile(
        services,
        QStringLiteral(
            "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|"),
        true);
    if (!path)
        return outcome;
    // A name typed without an extension is a grid setup file all the same, and Load File's
    // "*.ipt" filter must find it again.
    const QString savePath = withGridFileExtension(*path);
    // The dialog asked about replacing the name as typed; the file written is another one.
    if (savePath != *path && QFileInfo::exists(savePath) &&
        !services.prompter.askYesNo(gridFileExistsText(savePath), QStringLiteral("Save Grid"),
                                    MessageIcon::Question, Answer::No))
        return outcome;
    const std::optional<QString> description =
        services.prompter.input({QStringLiteral("Enter descriptive line about grid"),
                                 QStringLiteral("Grid Description"), request.description});
    if (!description)
        return outcome;
    const std::optional<int> n =
        askGridNumber(services, QStringLiteral("Save "), request.gridNumber,
                      QStringLiteral("What grid are you saving?"));
    if (!n)
        return outcome;

    GridStore &grids = services.grids;
    Grid &active = grids.active();
    active.description = *description;
    active.fileName = savePath;
    active.jump = grids.distanceJump();
    active.checkBuoyScreen = request.checkBuoyMarker;
    active.checkBuoySurvey = {Val(request.checkSurveyXText), Val(request.checkSurveyYText)};
    rememberGridPicture(services.settings, *n, request.pictureSize, savePath);
    services.settings.write(SettingsStore::gridFileKey(*n), savePath);
    services.debugLog.DebugLogWrite(QStringLiteral("save grid %1").arg(*n));
    services.gridIndicators[static_cast<size_t>(*n - 1)].description = *description;

    Failure failure = writeGridSetupFile(savePath, active, *n);
    if (!failure)
        failure = writeCheckBuoyFile(checkBuoyFilePath(savePath), request.checkBuoyMarker,
                                     request.checkSurveyXText, request.checkSurveyYText);
    if (failure) {
        services.prompter.inform(QStringLiteral("The grid could not be saved.\n") + *failure,
                                 MessageIcon::Exclamation);
        return outcome;
    }
    // Saving stores the grid as it stands; it does not make it loaded.
    grids.storeActiveGrid(*n);
    return {true, *n, savePath, *description};
}

GridLoadOutcome gridLoad(GridFileServices &services, int captionGrid,
                         const QString &pictureWidthText, QSize pictureSize)
{
    GridLoadOutcome outcome;
    GridStore &grids = services.grids;
    int n = 1;
    if (grids.gridCount() != 1) {
        const std::optional<int> asked =
            askGridNumber(services, QStringLiteral("Load "), captionGrid,
                          QStringLiteral("What grid are you loading?"));
        if (!asked)
            return outcome;
        n = *asked;
    }
    grids.setCurrentGrid(n);
    const std::optional<QString> path = chooseGridFile(
        services,
        QStringLiteral(
            "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|"),
        false);
    if (!path)
        return outcome;
    DebugLog &log = services.debugLog;
    log.DebugLogWrite(QStringLiteral("load grid ") + Str(n));

    const Result<GridFiles> files = readGridFiles(*path);
    if (!files) {
        // Nothing of a damaged file is taken: the grid stays as it was.
        services.prompter.inform(
            QStringLiteral("The grid file could not be read, nothing was loaded.\n") +
                files.error(),
            MessageIcon::Exclamation);
        return outcome;
    }
    applyGridFiles(grids, n, files.value());
    const bool withCheckBuoy = files->checkBuoy.has_value();
    if (!withCheckBuoy)
        services.prompter.inform(missingCheckBuoyText(), MessageIcon::Critical);
    outcome = {true, n, *path, entryTextsOf(grids.entry(n), withCheckBuoy), false};

    services.results.append(gridRecordLines(gridRecordFieldsOf(grids.entry(n), n),
                                            GridRecordKind::FileLoad, services.clock.dateText(),
                                            services.clock.timeText()));
    grid_check(outcome.texts, pictureWidthText, log, services.prompter);

    if (!grids.active().hasCheckBuoy())
        return outcome;
    log.DebugLogWrite(QStringLiteral("Load grid file names on main page below"));
    grids.setGridLoaded(n, true);
    outcome.gridLoaded = true;
    rememberGridPicture(services.settings, n, pictureSize, *path);
    services.settings.write(SettingsStore::gridFileKey(n), *path);
    GridIndicator &indicator = services.gridIndicators[static_cast<size_t>(n - 1)];
    indicator.picture = QStringLiteral("SmallSmiley.jpg");
    indicator.description = grids.entry(n).description;
    log.DebugLogWrite(QStringLiteral("Load grid %1").arg(n));
    log.DebugLogWrite(QStringLiteral("Grid load message above"));
    if (const int ready = grids.updateAllGridsReady())
        log.DebugLogWrite(ready == 1 ? QStringLiteral("1 grid - OK")
                                     : QStringLiteral("%1 grids - OK").arg(ready));
    log.DebugLogWrite(QStringLiteral("Number of grids loaded message above"));
    return outcome;
}

} // namespace skelvin
