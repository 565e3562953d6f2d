#pragma once

#include "core/geometry/AccuracyLattice.h"
#include "core/geometry/GridEntryTexts.h"
#include "core/common/Tournament.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace skelvin {

class Clock;
class GridStore;
class Prompter;

// `optStandardAccuracy` shows only the grades of the line where skiers land;
// `optAdvancedAccuracy` shows every point with the chosen display option.
enum class AccuracyMode { Standard, Advanced };

// What each point shows: `optDisplayDistance` the distance to 0.1 m, `optDetailMeasurement`
// the change per pixel to 0.01 m, `optHomolgationLevel` the grade.
enum class AccuracyDisplay { Distance, Detail, HomologationLevel };

// `AccuracyIndicator`(0..50): one label per lattice point, 0..48 used. `LineLabel`(0..10):
// the line numbers of the standard mode, 0..6 used. Clearing the indicators hides all of them.
inline constexpr int kAccuracyIndicatorCount = 51;
inline constexpr int kLineLabelCount = 11;

inline const QString kAccuracyButtonCaption = QStringLiteral("Accuracy");
inline const QString kSkierPathLinePrompt =
    QStringLiteral("Pick the line number that best represents where the skier will land");
inline const QString kSkierPathLineTitle = QStringLiteral("Input the skier path line");
inline const QString kAccuracyMessageTitle = QStringLiteral("Accuracy Check");

// What the grid setup screen hands to the check.
struct AccuracyRequest
{
    int gridNumber = 1;          // from the grid button
    GridEntryTexts texts;        // what the entry fields show
    QString pictureWidthText = QStringLiteral("12000");
    AccuracyMode mode = AccuracyMode::Standard;
    AccuracyDisplay display = AccuracyDisplay::HomologationLevel;
    TournamentType tournamentType = TournamentType::Normal;
    QString videoDirectory;      // where the report goes
};

// One `AccuracyIndicator` label: its caption, its top-left corner in picture twips, whether it
// is shown. Its text colour is the configured label colour.
struct AccuracyIndicatorState
{
    QString caption;
    ScreenPoint topLeft;
    bool visible = false;
};
using AccuracyIndicators = std::array<AccuracyIndicatorState, kAccuracyPointCount>;

// One lattice row drawn while the standard mode asks for the skier's line: a line in the label
// colour from the row's left to its right point, and `LineLabel`(row) with its number.
struct AccuracyLineGuide
{
    ScreenPoint from;
    ScreenPoint to;
    QString caption;      // "1" .. "7"
    ScreenPoint labelTopLeft;
};
using AccuracyLineGuides = std::array<AccuracyLineGuide, kAccuracyLatticeSize>;

enum class AccuracyEnd {
    Measured,         // the report is written; show the result
    NoTransform,      // the grid has no solved transform; nothing was done
    ReportNotWritten, // the report file could not be written; nothing is shown
};

// The outcome of one check.
struct AccuracyRun
{
    AccuracyEnd end = AccuracyEnd::Measured;
    AccuracyMode mode = AccuracyMode::Standard;
    // The display option the screen must show chosen: the standard mode always shows grades.
    AccuracyDisplay display = AccuracyDisplay::HomologationLevel;
    AccuracyPoints points{};
    // Every point's label; in the advanced mode all are visible, in the standard mode none
    // until a line is chosen (see indicatorsShowingLine).
    AccuracyIndicators indicators{};
    AccuracyLineGuides lineGuides{};
    QString reportPath;
    QStringList reportLines; // the block appended to the report file

    bool measured() const { return end == AccuracyEnd::Measured; }
    // The standard mode asks for the line where skiers land before anything is shown.
    bool asksForLine() const { return measured() && mode == AccuracyMode::Standard; }
    // The labels with only the seven of line 1..7 visible (points L-1, L-1+7, ..., L-1+42).
    AccuracyIndicators indicatorsShowingLine(int line) const;
};

// The caption of a point for a display option: the grade, or the distance at the point to 0.1 m,
// or the change per pixel to 0.01 m, numbers with their sign blank.
QString accuracyCaption(const AccuracyPoint &point, AccuracyDisplay display);

// Measures the lattice of the active grid and builds the report block, without touching any
// file or asking anything. The corners are the values of the corner screen field texts. Ends
// with NoTransform, and nothing measured, when the active transform is not finite or maps the
// picture onto a line or a point (the all-zero transform of a grid never completed).
AccuracyRun measureAccuracy(const GridStore &grids, const AccuracyRequest &request,
                            const QString &dateText, const QString &timeText);

// The accuracy check of the grid setup screen's `btnAccuracyCheck`: shows the operator how
// much one pixel on the picture moves the measured distance across the grid, and keeps every
// value in the day's accuracy report.
class AccuracyCheck
{
public:
    AccuracyCheck(const GridStore &grids, Prompter &prompter, const Clock &clock);

    // Measures the active grid and appends the report block. The operator is told when the grid
    // has no transform or the report cannot be written (with its path and the reason); the run
    // then ends with nothing to show and the screen stays as it is.
    AccuracyRun run(const AccuracyRequest &request);

    // Asks for the line where skiers land until a number 1..7 is given; nothing when the
    // operator cancels.
    std::optional<int> askSkierPathLine();

private:
    const GridStore &m_grids;
    Prompter &m_prompter;
    const Clock &m_clock;
};

} // namespace skelvin
