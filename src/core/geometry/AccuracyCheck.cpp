#include "core/geometry/AccuracyCheck.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/Prompter.h"
#include "core/common/TextFile.h"
#include "core/geometry/AccuracyReport.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/JumpDistance.h"
#include "core/geometry/SetupValidation.h"

#include <cmath>

namespace skelvin {

namespace {

// A point's label stands 75 twips below it, 60 below the point one pixel down.
constexpr double kIndicatorDropTwips = 75;
// A line number stands 30 twips right of the row's right end and 90 twips above it.
constexpr double kLineLabelRightTwips = 30;
constexpr double kLineLabelRaiseTwips = 90;

const QString kNoTransformText = QStringLiteral(
    "This grid has no transform to check. Complete the grid, or load a grid file that was saved "
    "after it was completed, and run the accuracy check again.");

QString reportFailureText(const QString &reason)
{
    return QStringLiteral("The accuracy report could not be written, so the accuracy check was "
                          "stopped.\n")
           + reason;
}

ScreenPoint cornerField(const QString &x, const QString &y)
{
    return {Val(x), Val(y)};
}

} // namespace

QString accuracyCaption(const AccuracyPoint &point, AccuracyDisplay display)
{
    if (!point.hasImage)
        return kNoImageText;
    switch (display) {
    case AccuracyDisplay::Distance:
        return Str(roundHalfUp(point.distanceMetres, 1));
    case AccuracyDisplay::Detail:
        return Str(roundHalfUp(point.deltaMetres, 2));
    case AccuracyDisplay::HomologationLevel:
        break;
    }
    return accuracyGrade(point.deltaMetres);
}

AccuracyIndicators AccuracyRun::indicatorsShowingLine(int line) const
{
    AccuracyIndicators shown = indicators;
    for (AccuracyIndicatorState &s : shown)
        s.visible = false;
    if (line < 1 || line > kAccuracyLatticeSize)
        return shown;
    for (int i = 0; i < kAccuracyLatticeSize; ++i)
        shown[static_cast<size_t>(i * kAccuracyLatticeSize + line - 1)].visible = true;
    return shown;
}

AccuracyRun measureAccuracy(const GridStore &grids, const AccuracyRequest &request,
                            const QString &dateText, const QString &timeText)
{
    const GridEntryTexts &t = request.texts;
    AccuracyRun run;
    run.mode = request.mode;
    run.display = request.mode == AccuracyMode::Standard ? AccuracyDisplay::HomologationLevel
                                                         : request.display;
    if (!usableTransform(grids.active().transform)) {
        // Every point of an unsolved grid maps onto one survey point, which would grade the
        // whole grid "R".
        run.end = AccuracyEnd::NoTransform;
        return run;
    }
    const auto lattice = accuracyLattice(cornerField(t.upper_left_x, t.upper_left_y),
                                         cornerField(t.upper_right_x, t.upper_right_y),
                                         cornerField(t.lower_left_x, t.lower_left_y),
                                         cornerField(t.lower_right_x, t.lower_right_y));
    run.points = measureAccuracyLattice(grids, request.tournamentType, lattice);

    for (const AccuracyPoint &p : run.points) {
        run.indicators[static_cast<size_t>(p.index())] = {
            accuracyCaption(p, run.display),
            {p.screen.x, p.screen.y + kIndicatorDropTwips},
            request.mode == AccuracyMode::Advanced};
    }
    for (int j = 0; j < kAccuracyLatticeSize; ++j) {
        const ScreenPoint from = lattice[static_cast<size_t>(j)];
        const ScreenPoint to =
            lattice[static_cast<size_t>((kAccuracyLatticeSize - 1) * kAccuracyLatticeSize + j)];
        run.lineGuides[static_cast<size_t>(j)] = {
            from, to, QString::number(j + 1),
            {to.x + kLineLabelRightTwips, to.y - kLineLabelRaiseTwips}};
    }

    run.reportPath = accuracyReportPath(request.videoDirectory, dateText);
    run.reportLines = accuracyReportLines(
        completionRecordFields(t, grids.active(), request.gridNumber),
        setupRatios(t, request.pictureWidthText), run.points, dateText, timeText);
    return run;
}

AccuracyCheck::AccuracyCheck(const GridStore &grids, Prompter &prompter, const Clock &clock)
    : m_grids(grids), m_prompter(prompter), m_clock(clock)
{
}

AccuracyRun AccuracyCheck::run(const AccuracyRequest &request)
{
    const QDateTime now = m_clock.now();
    AccuracyRun run =
        measureAccuracy(m_grids, request, dateText(now.date()), timeText(now.time()));
    if (run.end == AccuracyEnd::NoTransform) {
        m_prompter.inform(kNoTransformText, MessageIcon::Exclamation, kAccuracyMessageTitle);
        return run;
    }
    // The whole block goes in one append, so a failed write leaves no half block behind.
    const Failure failure =
        request.videoDirectory.trimmed().isEmpty()
            ? Failure(run.reportPath + QStringLiteral(": no video directory is set"))
            : appendTextLines(run.reportPath, run.reportLines);
    if (failure) {
        m_prompter.inform(reportFailureText(*failure), MessageIcon::Critical,
                          kAccuracyMessageTitle);
        run.end = AccuracyEnd::ReportNotWritten;
    }
    return run;
}

std::optional<int> AccuracyCheck::askSkierPathLine()
{
    for (;;) {
        const std::optional<QString> answer =
            m_prompter.input({kSkierPathLinePrompt, kSkierPathLineTitle, QString(), QPointF(100, 100)});
        if (!answer)
            return std::nullopt;
        const double line = Val(*answer);
        if (line >= 1 && line <= kAccuracyLatticeSize && line == std::floor(line))
            return static_cast<int>(line);
    }
}

} // namespace skelvin
