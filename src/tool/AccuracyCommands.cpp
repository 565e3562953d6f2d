#include "tool/ToolCommands.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/PictureSize.h"
#include "core/geometry/AccuracyCheck.h"
#include "core/geometry/AccuracyMap.h"
#include "core/geometry/GridStore.h"
#include "core/grid_setup/GridFileCommands.h"
#include "core/grid_setup/GridFileLoader.h"

#include <QImageWriter>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace skelvin::tool {

namespace {

const char *const kAccuracyUsage =
    "Usage: skelvin-tool accuracy GRID.ipt [--tournament normal|barefoot|sitski]"
    " [--picture-width TWIPS]\n";
const char *const kMapUsage =
    "Usage: skelvin-tool accuracy-map GRID.ipt OUT.png [--size WxH]"
    " [--tournament normal|barefoot|sitski]\n";

// The largest map: 8192 pixels a side and 40 million pixels (a cell and a colour each).
constexpr int kMaxMapSide = 8192;
constexpr qint64 kMaxMapPixels = 40'000'000;

// A point with no image has no grade.
const QString kNoGradeCell = QStringLiteral("--");

struct AccuracyArgs
{
    bool map = false; // accuracy-map: GRID.ipt OUT.png [--size WxH]
    QString path;
    QString outputPath;
    TournamentType type = TournamentType::Normal;
    QString pictureWidthText = QStringLiteral("12000");
    QSize size{800, 600}; // the standard picture, 12000 x 9000 twips
};

bool parseAccuracyArgs(const QStringList &args, AccuracyArgs *parsed, ToolIo &io)
{
    const char *const usage = parsed->map ? kMapUsage : kAccuracyUsage;
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
        } else if (parsed->map && arg == QLatin1String("--size") && hasValue) {
            if (!parseSize(args[++i], &parsed->size) || parsed->size.width() > kMaxMapSide
                || parsed->size.height() > kMaxMapSide
                || qint64(parsed->size.width()) * parsed->size.height() > kMaxMapPixels) {
                io.err << "Not a picture size for a map (WxH, 16 to " << kMaxMapSide
                       << " pixels a side, at most " << kMaxMapPixels << " pixels): " << args[i]
                       << "\n";
                return false;
            }
        } else if (!parsed->map && arg == QLatin1String("--picture-width") && hasValue) {
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
    if (positional.size() != (parsed->map ? 2 : 1)) {
        io.err << usage;
        return false;
    }
    parsed->path = positional[0];
    parsed->outputPath = positional.value(1);
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

// The map over the ground the picture view shows without a picture, with the grid's outline
// and the legend where the view puts it.
QImage mapPicture(const AccuracyMap &map, const Grid &grid)
{
    QImage picture(map.size(), QImage::Format_RGB32);
    picture.fill(QColor(32, 36, 40));
    QPainter painter(&picture);
    painter.drawImage(0, 0, map.overlay());
    painter.setPen(QPen(Qt::white, 2));
    const AccuracyMap::Outline outline = AccuracyMap::outlineOf(grid);
    QPolygonF polygon;
    for (const ScreenPoint &p : outline)
        polygon << QPointF(p.x / TwipsPerPixel, p.y / TwipsPerPixel);
    painter.drawPolygon(polygon);
    const QImage legend = AccuracyMap::legend();
    constexpr int margin = 8;
    painter.drawImage(margin, picture.height() - legend.height() - margin, legend);
    return picture;
}

int runMapCommand(const AccuracyArgs &parsed, const GridStore &grids, ToolIo &io)
{
    if (!usableTransform(grids.active().transform)) {
        io.err << "The grid has no transform to map: it was saved before it was completed.\n";
        return ExitNoSolution;
    }
    const AccuracyMap map = AccuracyMap::ofActiveGrid(grids, parsed.type, parsed.size);
    const QImage picture = mapPicture(map, grids.active());
    QImageWriter writer(parsed.outputPath, "png");
    if (!writer.write(picture)) {
        io.err << "Cannot write " << parsed.outputPath << ": " << writer.errorString() << "\n";
        return ExitBadFile;
    }
    const AccuracyMapCounts c = map.counts();
    io.out << "R=" << c.r << "\nL=" << c.l << "\nC=" << c.c << "\nNH=" << c.nh << "\n";
    if (c.noImage > 0)
        io.out << "no_image=" << c.noImage << "\n";
    return ExitOk;
}

} // namespace

int runAccuracyCommand(const QStringList &args, ToolIo &io)
{
    const QString command = args.value(0);
    if (command != QLatin1String("accuracy") && command != QLatin1String("accuracy-map"))
        return -1;
    AccuracyArgs parsed;
    parsed.map = command == QLatin1String("accuracy-map");
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
    if (parsed.map)
        return runMapCommand(parsed, grids, io);

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
