#pragma once

#include "core/geometry/GridEntryTexts.h"
#include "core/grid_setup/GridIndicator.h"

#include <QSize>
#include <QString>

namespace skelvin {

class Clock;
class DebugLog;
class GridStore;
class Prompter;
class ResultsFile;
class SettingsStore;
struct TournamentState;

// What Save and Load File work with.
struct GridFileServices
{
    Prompter &prompter;
    Clock &clock;
    DebugLog &debugLog;
    ResultsFile &results;
    SettingsStore &settings;
    GridStore &grids;
    const TournamentState &tournament;
    GridIndicators &gridIndicators;
};

// Save and Load File of the grid setup screen: the questions, the file dialog, both files, the
// settings, the records and the grid state. The screen passes what its fields show and shows
// what comes back.

struct GridSaveRequest
{
    int gridNumber = 1;          // from the grid button
    QString description;         // the grid's description so far
    ScreenPoint checkBuoyMarker; // where the check buoy marker stands
    QString checkSurveyXText;    // txtCheckX, as typed
    QString checkSurveyYText;    // txtCheckY
    QSize pictureSize;           // the picture the grid stands on; empty when none is shown
};

struct GridSaveOutcome
{
    bool saved = false;
    int gridNumber = 1;
    QString path;
    QString description;
};

GridSaveOutcome gridSave(GridFileServices &services, const GridSaveRequest &request);

struct GridLoadOutcome
{
    bool fileRead = false; // the grid is in place (fields must show `texts`)
    int gridNumber = 1;
    QString path;
    GridEntryTexts texts;    // what the setup screen's fields show now
    bool gridLoaded = false; // it has a check buoy and may be used for measuring
};

// `captionGrid` is the number on the grid button; `pictureWidthText` the picture width the
// front/back check uses; `pictureSize` the picture shown, remembered as the grid's picture.
GridLoadOutcome gridLoad(GridFileServices &services, int captionGrid,
                         const QString &pictureWidthText, QSize pictureSize = {});

// The question asked before a grid file is replaced under the name saving adds ".ipt" to.
QString gridFileExistsText(const QString &path);
// The path a grid is saved under: ".ipt" is added to a name without an extension.
QString withGridFileExtension(const QString &path);

// The texts the setup screen shows for a grid (numbers as the fields show them). Without a
// check buoy the marker fields read "auto" and the survey fields are empty.
GridEntryTexts entryTextsOf(const Grid &grid, bool withCheckBuoy);

inline const QString kInvalidSetupPathText =
    QStringLiteral("Invalid path, change in configuration screen");

} // namespace skelvin
