#include "tool/ToolCommands.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/geometry/AccuracyCheck.h"
#include "core/geometry/GridStore.h"
#include "core/grid_setup/GridFileCommands.h"
#include "core/grid_setup/GridFileLoader.h"

#include <algorithm>

namespace skelvin::tool {

namespace {

const char *const kAccuracyUsage =
    "Usage: skelvin-tool accuracy GRID.ipt [--tournament normal|barefoot|sitski]"
    " [--picture-width TWIPS]\n";

// A point with no image has no grade.
const QString kNoGradeCell = QStringLiteral("--");

struct AccuracyArgs
{
    QString path;
    TournamentType type = TournamentType::Normal;
    QString pictureWidthText = QStringLiteral("12000");
};

bool parseAccuracyArgs(const QStringList &args, AccuracyArgs *parsed, ToolIo &io)
{
    QStringList positional;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--tournament") && hasValue) {
            const QString word = args[++i];
            parsed->type = tournamentFromWord(word);
            if (tournamentWord(parsed->type) != word) {
                io.err << "Unknown tournament type: " << word << " (normal, barefoot or sitski)\n";
                return false;
            }
        } else if (arg == QLatin1String("--picture-width") && hasValue) {
            double width = 0;
            parsed->pictureWidthText = args[++i];
            if (!parseNumberField(parsed->pictureWidthText, &width) || width <= 0) {
                io.err << "Not a picture width in twips: " << parsed->pictureWidthText << "\n";
                return false;
            }
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 1) {
        io.err << kAccuracyUsage;
        return false;
    }
    parsed->path = positional[0];
    return true;
}

void printGrades(const AccuracyRun &run, ToolIo &io)
{
    bool anyWithoutImage = false;
    io.out << "grades, line 1 (back) to line 7 (front), points left to right:\n";
    for (int j = 0; j < kAccuracyLatticeSize; ++j) {
        QString row = QStringLiteral("line %1:").arg(j + 1);
        for (int i = 0; i < kAccuracyLatticeSize; ++i) {
            const AccuracyPoint &p = run.points[static_cast<size_t>(i * kAccuracyLatticeSize + j)];
            anyWithoutImage = anyWithoutImage || !p.hasImage;
            row += QLatin1Char(' ')
                   + (p.hasImage ? accuracyGrade(p.deltaMetres) : kNoGradeCell).leftJustified(2);
        }
        io.out << row.trimmed() << "\n";
    }
    if (anyWithoutImage)
        io.out << kNoGradeCell << ": the point has no image on this grid\n";
}

} // namespace

int runAccuracyCommand(const QStringList &args, ToolIo &io)
{
    if (args.value(0) != QLatin1String("accuracy"))
        return -1;
    AccuracyArgs parsed;
    if (!parseAccuracyArgs(args, &parsed, io))
        return ExitUsage;

    const Result<GridFiles> files = readGridFiles(parsed.path);
    if (!files) {
        io.err << files.error() << "\n";
        return ExitBadFile;
    }
    // The grid as the setup screen holds it after Load File.
    const int n = std::clamp(files->grid.gridNumber, 1, MaxGrids);
    GridStore grids;
    applyGridFiles(grids, n, files.value());

    AccuracyRequest request;
    request.gridNumber = n;
    request.texts = entryTextsOf(grids.active(), files->checkBuoy.has_value());
    request.pictureWidthText = parsed.pictureWidthText;
    request.mode = AccuracyMode::Advanced;
    request.tournamentType = parsed.type;

    const SystemClock clock;
    const QDateTime now = clock.now();
    const AccuracyRun run =
        measureAccuracy(grids, request, dateText(now.date()), timeText(now.time()));
    if (!run.measured()) {
        io.err << "The grid has no transform to check: it was saved before it was completed.\n";
        return ExitNoSolution;
    }
    printGrades(run, io);
    io.out << "report lines:\n";
    for (const QString &line : run.reportLines)
        io.out << line << "\n";
    return ExitOk;
}

} // namespace skelvin::tool
