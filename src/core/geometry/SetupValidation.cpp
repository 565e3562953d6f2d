#include "core/geometry/SetupValidation.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/Prompter.h"
#include "core/geometry/CheckBuoy.h"
#include "core/geometry/FieldOfView.h"
#include "core/geometry/GridRecord.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"

#include <cmath>

namespace skelvin {

namespace {

const QString kNotAllParametersText =
    QStringLiteral("Warning - Not all parameters have been set up on grid");
const QString kErrorTitle = QStringLiteral("Error Message");
const QString kCheckBuoyMandatoryText = QStringLiteral("Setup of Check Buoy is Mandatory");
const QString kCheckBuoyInvalidText = QStringLiteral("Check Buoy Does not Validate");
const QString kAllowedForTestText = QStringLiteral("Invalid Configurations allowed for test");
const QString kFieldOfViewUnmeasurableText = QStringLiteral(
    "Setup is not valid, the Field of View cannot be measured because an edge of the grid has "
    "no image on this picture. Check the corner buoys and their survey positions.");

// The lblCB label's arrow sits 15 twips right of and 105 twips below its top-left corner.
constexpr double kHintLeftOffsetTwips = 15;
constexpr double kHintTopOffsetTwips = -105;

constexpr double kFieldOfViewWarningDegrees = 30;
constexpr double kFieldOfViewLimitDegrees = 35;
constexpr double kGridWidthWarningPercent = 80;
constexpr double kGridWidthLimitPercent = 75;
constexpr double kFrontRatioWarningPercent = 80;

QString numberOrNoImage(std::optional<double> value)
{
    return value ? Str(*value) : kNoImageText;
}

bool isFinite(const GridTransform &transform)
{
    for (double c : transform.c) {
        if (!std::isfinite(c))
            return false;
    }
    return true;
}

std::optional<ScreenPoint> finitePoint(std::optional<ScreenPoint> p)
{
    if (p && std::isfinite(p->x) && std::isfinite(p->y))
        return p;
    return std::nullopt;
}

std::optional<SurveyPoint> finitePoint(std::optional<SurveyPoint> p)
{
    if (p && std::isfinite(p->x) && std::isfinite(p->y))
        return p;
    return std::nullopt;
}

} // namespace

SetupRatios setupRatios(const GridEntryTexts &texts, const QString &pictureWidthText)
{
    const double width = pictureWidthTwips(pictureWidthText);
    return {std::abs(Val(texts.lower_right_x) - Val(texts.lower_left_x)) * 100 / width,
            std::abs(Val(texts.upper_right_x) - Val(texts.upper_left_x)) * 100 / width};
}

SetupRatios grid_check(const GridEntryTexts &texts, const QString &pictureWidthText,
                       DebugLog &debugLog, Prompter &prompter)
{
    const SetupRatios ratios = setupRatios(texts, pictureWidthText);
    debugLog.DebugLogWrite(QStringLiteral("Front set-up ratio = ") + Str(ratios.front));
    debugLog.DebugLogWrite(QStringLiteral("Back set-up ratio = ") + Str(ratios.back));
    if (ratios.front < kFrontRatioWarningPercent) {
        prompter.inform(QStringLiteral("Front ratio is ") + Str(Int(ratios.front)) +
                        QStringLiteral("%  Zoom camera in until front is > 85%"));
    }
    return ratios;
}

SetupValidation::SetupValidation(GridStore &grids, DebugLog &debugLog, ResultsFile &resultsFile,
                                 Prompter &prompter, const Clock &clock)
    : m_grids(grids), m_debugLog(debugLog), m_resultsFile(resultsFile), m_prompter(prompter),
      m_clock(clock)
{
}

QString completedStatusText(int n)
{
    return QStringLiteral("Grid %1 is complete and ready for measuring (not saved yet).").arg(n);
}

QString savedStatusText(int n, bool ready, const QString &path)
{
    return ready ? QStringLiteral("Grid %1 is complete and ready for measuring, saved as %2.").arg(n).arg(path)
                 : QStringLiteral("Grid %1 is saved as %2; it is not ready for measuring until Complete accepts it.")
                       .arg(n)
                       .arg(path);
}

void SetupValidation::log(const QString &line)
{
    m_debugLog.DebugLogWrite(line);
}

CompletionOutcome SetupValidation::complete(int n, const GridEntryTexts &texts,
                                            const QString &pictureWidthText, bool allowInvalidSetup,
                                            const std::function<void()> &checksStarting)
{
    CompletionOutcome outcome;
    Grid &active = m_grids.active();
    // The grid is checked, stored and recorded with the numbers the operator sees in the fields.
    applyEntryTexts(texts, active);
    m_grids.setActiveJump(active.jump);

    const bool allEntered = !firstFieldNotEntered(texts);
    const bool checkBuoyMarked = active.checkBuoyScreen.x != 0;
    if (allEntered && !checkBuoyMarked)
        m_prompter.inform(kCheckBuoyMandatoryText);
    if (!allEntered || !checkBuoyMarked) {
        m_prompter.inform(kNotAllParametersText, MessageIcon::Exclamation, kErrorTitle);
        record(n, texts, pictureWidthText, outcome);
        return outcome;
    }

    // "4a" would be measured as 4: name the box rather than fail a check further on.
    if (const std::optional<QString> wrong = firstFieldNotANumber(texts)) {
        m_prompter.inform(notANumberText(*wrong), MessageIcon::Exclamation, kErrorTitle);
        outcome.end = CompletionEnd::NotANumber;
        return outcome;
    }

    log(QStringLiteral("Record Grid Setup"));
    outcome.accuracyCheckEnabled = true;
    outcome.drawingsCleared = true;
    outcome.hint = CheckBuoyHint::Hidden;
    if (checksStarting)
        checksStarting();

    const std::optional<GridTransform> transform = SolveGridTransform(active.corners);
    if (!transform || !isFinite(*transform)) {
        // Nothing may be measured or checked for accuracy with the corners as entered.
        active.transform = GridTransform{};
        outcome.accuracyCheckEnabled = false;
        outcome.end = CompletionEnd::NoUniqueSolution;
        m_prompter.inform(kNoUniqueSolutionText, MessageIcon::Exclamation, kNoUniqueSolutionTitle);
        record(n, texts, pictureWidthText, outcome);
        return outcome;
    }
    active.transform = *transform;

    if (!checkBuoyValidates(texts, outcome)) {
        outcome.end = CompletionEnd::CheckBuoyInvalid;
        return outcome;
    }
    if (!fieldOfViewAllowed(allowInvalidSetup)) {
        outcome.end = CompletionEnd::FieldOfViewInvalid;
        return outcome;
    }
    if (!gridWidthAllowed(pictureWidthText, allowInvalidSetup)) {
        outcome.end = CompletionEnd::GridWidthInvalid;
        return outcome;
    }
    accept(n, outcome);
    record(n, texts, pictureWidthText, outcome);
    return outcome;
}

bool SetupValidation::checkBuoyValidates(const GridEntryTexts &texts, CompletionOutcome &outcome)
{
    const Grid &active = m_grids.active();
    log(QStringLiteral("check buoy x = ") + texts.txtCheckX);
    log(QStringLiteral("check buoy y = ") + texts.txtCheckY);

    const std::optional<SurveyPoint> marked =
        finitePoint(ScreenToSurvey(active.transform, active.checkBuoyScreen));
    log(QStringLiteral("check buoy on screen x = ") +
        numberOrNoImage(marked ? std::optional(marked->x) : std::nullopt));
    log(QStringLiteral("check buoy on screen y = ") +
        numberOrNoImage(marked ? std::optional(marked->y) : std::nullopt));

    const std::optional<CheckBuoyCheck> check =
        checkBuoyValidation(active.transform, active.checkBuoyScreen, active.checkBuoySurvey);
    const std::optional<ScreenPoint> expected =
        finitePoint(check ? std::optional(check->expected) : std::nullopt);
    // A check buoy that maps nowhere, or was marked where nothing maps, cannot vouch for the grid.
    if (expected && marked && check->validates)
        return true;

    m_prompter.inform(kCheckBuoyInvalidText);
    log(QStringLiteral("measured x: ") + texts.txtCheckXpix + QStringLiteral(" Actual: ") +
        numberOrNoImage(expected ? std::optional(expected->x) : std::nullopt));
    log(QStringLiteral("measured y: ") + texts.txtCheckYpix + QStringLiteral(" Actual: ") +
        numberOrNoImage(expected ? std::optional(expected->y) : std::nullopt));
    if (expected) {
        outcome.hint = CheckBuoyHint::Shown;
        outcome.hintPosition = {expected->x + kHintLeftOffsetTwips,
                                expected->y + kHintTopOffsetTwips};
    }
    outcome.drawingsCleared = true;
    outcome.markersRedrawn = true;
    return false;
}

bool SetupValidation::fieldOfViewAllowed(bool allowInvalidSetup)
{
    const Grid &active = m_grids.active();
    const ScreenPoint left = leftEdge(active);
    const ScreenPoint right = rightEdge(active);
    const std::optional<double> leftAngle = edgeAngleDegrees(active.transform, left);
    log(QStringLiteral("left angle= ") + numberOrNoImage(leftAngle) + QStringLiteral(" degrees"));
    log(QStringLiteral("left position = ") + Str(left.x));
    const std::optional<double> rightAngle = edgeAngleDegrees(active.transform, right);
    log(QStringLiteral("right angle= ") + numberOrNoImage(rightAngle) + QStringLiteral(" degrees"));
    log(QStringLiteral("right position = ") + Str(right.x));

    if (!leftAngle || !rightAngle) {
        // No angle can be given, and no test setup is served by a grid whose edge maps nowhere.
        m_prompter.inform(kFieldOfViewUnmeasurableText);
        return false;
    }

    const double fov = fieldOfViewDegrees(*leftAngle, *rightAngle);
    if (fov > kFieldOfViewWarningDegrees && fov <= kFieldOfViewLimitDegrees) {
        m_prompter.inform(
            QStringLiteral("Warning! Field of View is ") + Str(fov) +
            QStringLiteral(" degrees where the maximum allowed is 35 degrees ") +
            QStringLiteral("and the desired is less than 30 degrees. If your grid is not taking "
                           "up as much of the screen ") +
            QStringLiteral(" as possible then your fov is even greater and may lead to "
                           "inaccurate readings. ") +
            QStringLiteral("You should consider moving the camera further away or making the "
                           "measurement grid shorter."));
    }
    if (fov > kFieldOfViewLimitDegrees) {
        m_prompter.inform(
            QStringLiteral("Setup is not valid, Field of View is ") + Str(fov) +
            QStringLiteral(" degrees where the maximum allowed is 35 degrees.") +
            QStringLiteral("You either need to move the camera further away or make the "
                           "measurement grid shorter."));
        if (!allowedForTest(allowInvalidSetup))
            return false;
    }
    log(QStringLiteral("Field of view  = ") + Str(fov) + QStringLiteral(" degrees"));
    return true;
}

bool SetupValidation::gridWidthAllowed(const QString &pictureWidthText, bool allowInvalidSetup)
{
    const Grid &active = m_grids.active();
    const double pct = std::abs(leftEdge(active).x - rightEdge(active).x) * 100 /
                       pictureWidthTwips(pictureWidthText);
    log(QStringLiteral("Screen width of Grid  = ") + Str(Int(pct)) + QStringLiteral("%"));
    log(QStringLiteral("Screen width  = ") + pictureWidthText);
    if (pct >= kGridWidthWarningPercent)
        return true;

    m_prompter.inform(QStringLiteral("Warning - Grid is ") + Str(Int(pct)) +
                          QStringLiteral("% which is less than 80% of screen width.  Zoom your "
                                         "camera until the grid nearly fills the screen."),
                      MessageIcon::Critical);
    if (pct > kGridWidthLimitPercent) {
        m_prompter.inform(QStringLiteral("Grid is greater than 75% so continue"));
        return true;
    }
    return allowedForTest(allowInvalidSetup);
}

bool SetupValidation::allowedForTest(bool allowInvalidSetup)
{
    if (allowInvalidSetup)
        m_prompter.inform(kAllowedForTestText, MessageIcon::Critical);
    return allowInvalidSetup;
}

void SetupValidation::accept(int n, CompletionOutcome &outcome)
{
    outcome.end = CompletionEnd::Accepted;
    outcome.stateIcon = kGridSetUpIcon;
    outcome.accepted = true;
    m_grids.setGridLoaded(n, true);
    m_grids.setCurrentGrid(n);
    log(QStringLiteral("grid %1 OK and loaded - not saved").arg(n));

    m_grids.storeActiveGrid(n);

    log(QStringLiteral("Check if Setup OK"));
    switch (m_grids.updateAllGridsReady()) {
    case 3:
        log(QStringLiteral("3 grids - all loaded on OK"));
        break;
    case 2:
        log(QStringLiteral("2 grids - all loaded on OK"));
        break;
    case 1:
        log(QStringLiteral("1 grid - all loaded on OK"));
        break;
    default:
        break;
    }
    log(QStringLiteral(
        "If setup is OK there should be a message above this saying so otherwise - not OK"));
    m_grids.updateDirectionSign();
}

void SetupValidation::record(int n, const GridEntryTexts &texts, const QString &pictureWidthText,
                             CompletionOutcome &outcome)
{
    const QStringList lines =
        gridRecordLines(completionRecordFields(texts, m_grids.active(), n),
                        GridRecordKind::Completion, m_clock.dateText(), m_clock.timeText());
    outcome.recordWritten = m_resultsFile.append(lines);
    outcome.ratios = grid_check(texts, pictureWidthText, m_debugLog, m_prompter);
    outcome.gridChecked = true;
}

} // namespace skelvin
