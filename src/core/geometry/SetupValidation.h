#pragma once

#include "core/geometry/Grid.h"
#include "core/geometry/GridEntryTexts.h"

#include <QString>

#include <functional>

namespace skelvin {

class Clock;
class DebugLog;
class GridStore;
class Prompter;
class ResultsFile;

// Status pictures of the application directory.
inline const QString kGridNotSetUpIcon = QStringLiteral("msgbox03.ico");
inline const QString kGridSetUpIcon = QStringLiteral("face02.ico");
inline const QString kMainGridSetUpPicture = QStringLiteral("SmallSmiley.jpg");
// What the main screen's description box of an accepted grid shows until the grid is saved.
inline const QString kMainGridNotSavedText = QStringLiteral("not saved");
// The hint label `lblCB` that points at where the check buoy should show.
inline const QString kCheckBuoyHintText = QStringLiteral("<-Check Buoy Should Be Here");

// What the grid setup screen shows once Complete has accepted grid n, and once grid n has been
// saved (ready for measuring or not).
QString completedStatusText(int n);
QString savedStatusText(int n, bool ready, const QString &path);

// Front and back edge of the grid as percentages of the picture width.
struct SetupRatios
{
    double front = 0;
    double back = 0;
};

// The front and back ratios of the corner screen fields, without telling anyone.
SetupRatios setupRatios(const GridEntryTexts &texts, const QString &pictureWidthText);

// Logs the front and back ratios and asks the operator to zoom in when the front of the grid
// fills less than 80 % of the picture. Runs after every completion and every file load.
SetupRatios grid_check(const GridEntryTexts &texts, const QString &pictureWidthText,
                       DebugLog &debugLog, Prompter &prompter);

// Where a Complete ended.
enum class CompletionEnd {
    Accepted,           // the grid is loaded and stored in the table
    MissingEntries,     // a field not entered or no check buoy marked
    NotANumber,         // a field holds text that is not a number
    NoUniqueSolution,   // the corners do not determine a transform
    CheckBuoyInvalid,   // the check buoy does not show where its survey position maps
    FieldOfViewInvalid, // the camera sees the grid under too wide an angle
    GridWidthInvalid,   // the grid fills 75 % or less of the picture width
};

// What the hint label `lblCB` must do.
enum class CheckBuoyHint { Unchanged, Hidden, Shown };

// What the grid setup screen shows after Complete.
struct CompletionOutcome
{
    CompletionEnd end = CompletionEnd::MissingEntries;
    QString stateIcon = kGridNotSetUpIcon; // picture of `grid_state_icon`
    bool accuracyCheckEnabled = false;     // enable `btnAccuracyCheck` and show its frames
    bool drawingsCleared = false;          // clear the picture's drawings
    CheckBuoyHint hint = CheckBuoyHint::Unchanged;
    ScreenPoint hintPosition;    // left, top of `lblCB` when shown
    bool markersRedrawn = false; // redraw the buoy markers (`Show_grid`)
    // Grid n is loaded: the main screen shows kMainGridSetUpPicture and kMainGridNotSavedText
    // for it.
    bool accepted = false;
    bool recordWritten = false; // the grid record is in the results file
    bool gridChecked = false;   // grid_check ran
    SetupRatios ratios;         // its result, when it ran
};

// Complete on the grid setup screen: checks that the grid the operator entered may be used for
// measuring, tells the operator what is wrong with it, and records it. The entered texts are
// never changed; the active grid takes their numbers so every check works on what the operator
// sees.
class SetupValidation
{
public:
    SetupValidation(GridStore &grids, DebugLog &debugLog, ResultsFile &resultsFile,
                    Prompter &prompter, const Clock &clock);

    // Completes grid n (1..3). `allowInvalidSetup` is the state of `chkBadSetup`, which lets an
    // invalid field of view or grid width through for testing. `checksStarting` runs once every
    // entry is there, before the transform is solved and before any message of the checks: the
    // screen then enables the accuracy check, clears the picture's drawings and hides the check
    // buoy hint, so the operator reads the messages over a clean picture.
    CompletionOutcome complete(int n, const GridEntryTexts &texts, const QString &pictureWidthText,
                               bool allowInvalidSetup,
                               const std::function<void()> &checksStarting = {});

private:
    bool checkBuoyValidates(const GridEntryTexts &texts, CompletionOutcome &outcome);
    // Each false when its check fails and the failure is not let through.
    bool fieldOfViewAllowed(bool allowInvalidSetup);
    bool gridWidthAllowed(const QString &pictureWidthText, bool allowInvalidSetup);
    void accept(int n, CompletionOutcome &outcome);
    void record(int n, const GridEntryTexts &texts, const QString &pictureWidthText,
                CompletionOutcome &outcome);
    bool allowedForTest(bool allowInvalidSetup);
    void log(const QString &line);

    GridStore &m_grids;
    DebugLog &m_debugLog;
    ResultsFile &m_resultsFile;
    Prompter &m_prompter;
    const Clock &m_clock;
};

} // namespace skelvin
