#include "tool/ToolCommands.h"

#include "core/common/NumberText.h"
#include "core/geometry/CheckBuoy.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/grid_setup/GridFileLoader.h"
#include "core/vision/GridBuoyCheck.h"

#include <QImage>

#include <optional>

namespace skelvin::tool {

namespace {

std::optional<GridFiles> loadGrid(const QString &path, ToolIo &io)
{
    const Result<GridFiles> files = readGridFiles(path);
    if (!files) {
        io.err << files.error() << "\n";
        return std::nullopt;
    }
    return files.value();
}

bool parseNumberArg(const QString &text, double *value, ToolIo &io)
{
    if (parseNumberField(text, value))
        return true;
    io.err << "Not a number: " << text << "\n";
    return false;
}

void printTransform(const GridTransform &t, ToolIo &io)
{
    for (int i = 1; i <= 8; ++i)
        io.out << "c" << i << "=" << fullNumber(t(i)) << "\n";
}

int solve(const QStringList &args, ToolIo &io)
{
    if (args.size() != 2) {
        io.err << "Usage: skelvin-tool solve GRID.ipt\n";
        return ExitUsage;
    }
    const auto loaded = loadGrid(args[1], io);
    if (!loaded)
        return ExitBadFile;
    const auto t = SolveGridTransform(loaded->grid.corners);
    if (!t) {
        io.err << kNoUniqueSolutionText << "\n";
        return ExitNoSolution;
    }
    printTransform(*t, io);
    return ExitOk;
}

int measure(const QStringList &args, ToolIo &io)
{
    QStringList positional;
    TournamentType type = TournamentType::Normal;
    bool resolve = false;
    QString followPicture;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--solve")) {
            resolve = true;
        } else if (args[i] == QLatin1String("--follow") && i + 1 < args.size()) {
            followPicture = args[++i];
        } else if (args[i] == QLatin1String("--tournament") && i + 1 < args.size()) {
            const QString word = args[++i];
            if (word != QLatin1String("normal") && word != QLatin1String("barefoot")
                && word != QLatin1String("sitski")) {
                io.err << "Unknown tournament type: " << word
                       << " (normal, barefoot or sitski)\n";
                return ExitUsage;
            }
            type = tournamentFromWord(word);
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 3) {
        io.err << "Usage: skelvin-tool measure GRID.ipt X Y [--tournament normal|barefoot|sitski]"
                  " [--solve] [--follow PICTURE]\n";
        return ExitUsage;
    }
    ScreenPoint point;
    if (!parseNumberArg(positional[1], &point.x, io) || !parseNumberArg(positional[2], &point.y, io))
        return ExitUsage;
    const auto loaded = loadGrid(positional[0], io);
    if (!loaded)
        return ExitBadFile;

    GridTransform transform = loaded->grid.transform;
    if (resolve) {
        const auto solved = SolveGridTransform(loaded->grid.corners);
        if (!solved) {
            io.err << kNoUniqueSolutionText << "\n";
            return ExitNoSolution;
        }
        transform = *solved;
    }
    if (!followPicture.isEmpty()) {
        const QImage picture(followPicture);
        if (picture.isNull()) {
            io.err << "Cannot read the picture " << followPicture << "\n";
            return ExitBadFile;
        }
        Grid grid = gridFromFiles(*loaded, 1);
        grid.transform = transform;
        const CameraFollow follow = followCamera(grid, checkGridBuoys(picture, grid));
        io.out << "followed=" << (follow.transform ? "yes" : "no") << "\n";
        if (follow.transform)
            transform = *follow.transform;
        else
            io.out << "followed_reason=" << follow.refusal << "\n";
    }
    const auto m = measureJump(transform, loaded->grid.jump, type, point);
    if (!m) {
        io.err << kNoImageText << "\n";
        return ExitNoImage;
    }
    const OfficialDistance official = officialDistance(m->distanceMetres, type);
    io.out << "survey_x=" << fullNumber(m->survey.x) << "\n"
           << "survey_y=" << fullNumber(m->survey.y) << "\n"
           << "distance_m=" << fullNumber(m->distanceMetres) << "\n"
           << "official_m=" << CStr(official.metres) << "\n"
           << "official_ft=" << CStr(official.feet) << "\n";
    return ExitOk;
}

int inverse(const QStringList &args, ToolIo &io)
{
    if (args.size() != 4) {
        io.err << "Usage: skelvin-tool inverse GRID.ipt X Y\n";
        return ExitUsage;
    }
    SurveyPoint point;
    if (!parseNumberArg(args[2], &point.x, io) || !parseNumberArg(args[3], &point.y, io))
        return ExitUsage;
    const auto loaded = loadGrid(args[1], io);
    if (!loaded)
        return ExitBadFile;
    const auto screen = SurveyToScreen(loaded->grid.transform, point);
    if (!screen) {
        io.err << kNoImageText << "\n";
        return ExitNoImage;
    }
    io.out << "screen_x=" << fullNumber(screen->x) << "\n"
           << "screen_y=" << fullNumber(screen->y) << "\n";
    return ExitOk;
}

int gridShow(const QString &path, ToolIo &io)
{
    const auto loaded = loadGrid(path, io);
    if (!loaded)
        return ExitBadFile;
    const Grid g = gridFromFiles(*loaded, loaded->grid.gridNumber);
    static const char *const names[] = {"upper right", "lower right", "upper left", "lower left"};

    io.out << "file: " << path << "\n"
           << "saved as: " << loaded->grid.savedAs << "\n"
           << "description: " << g.description << "\n"
           << "saved as grid: " << g.number << "\n";
    for (int i = 0; i < CornerCount; ++i) {
        const CornerBuoy &c = g.corners[static_cast<size_t>(i)];
        io.out << names[i] << ": screen " << fullNumber(c.screen.x) << ", " << fullNumber(c.screen.y)
               << " twips; survey " << fullNumber(c.survey.x) << ", " << fullNumber(c.survey.y)
               << " m\n";
    }
    printTransform(g.transform, io);
    io.out << "jump: " << fullNumber(g.jump.x) << ", " << fullNumber(g.jump.y) << " m\n";

    if (!loaded->checkBuoy) {
        io.out << "check buoy: no check buoy file (" << checkBuoyFilePath(path)
               << "): the grid must be completed again before measuring\n";
        return ExitOk;
    }
    const CheckBuoyFileData &cb = *loaded->checkBuoy;
    io.out << "check buoy: screen " << fullNumber(cb.screen.x) << ", " << fullNumber(cb.screen.y)
           << " twips; survey " << fullNumber(cb.survey.x) << ", " << fullNumber(cb.survey.y)
           << " m\n";
    if (!g.hasCheckBuoy()) {
        io.out << "check buoy validates: no (no check buoy marked on the picture)\n";
        return ExitOk;
    }
    const auto check = checkBuoyValidation(g.transform, cb.screen, cb.survey);
    if (!check) {
        io.out << "check buoy validates: no (its survey point has no image on this grid)\n";
        return ExitOk;
    }
    io.out << "check buoy expected at: " << fullNumber(check->expected.x) << ", "
           << fullNumber(check->expected.y) << " twips\n"
           << "check buoy validates: " << (check->validates ? "yes" : "no") << "\n";
    return ExitOk;
}

int gridRewrite(const QString &in, const QString &out, ToolIo &io)
{
    const auto loaded = loadGrid(in, io);
    if (!loaded)
        return ExitBadFile;
    const Grid grid = gridFromFiles(*loaded, loaded->grid.gridNumber);
    if (const Failure f = writeGridSetupFile(out, grid, grid.number)) {
        io.err << *f << "\n";
        return ExitBadFile;
    }
    if (loaded->checkBuoy) {
        const CheckBuoyFileData &cb = *loaded->checkBuoy;
        if (const Failure f = writeCheckBuoyFile(checkBuoyFilePath(out), cb.screen, cb.surveyXText,
                                                 cb.surveyYText)) {
            io.err << *f << "\n";
            return ExitBadFile;
        }
    }
    return ExitOk;
}

} // namespace

int runGridCommand(const QStringList &args, ToolIo &io)
{
    const QString command = args.value(0);
    if (command == QLatin1String("solve"))
        return solve(args, io);
    if (command == QLatin1String("measure"))
        return measure(args, io);
    if (command == QLatin1String("inverse"))
        return inverse(args, io);
    if (command != QLatin1String("grid"))
        return -1;
    if (args.value(1) == QLatin1String("show") && args.size() == 3)
        return gridShow(args[2], io);
    if (args.value(1) == QLatin1String("rewrite") && args.size() == 4)
        return gridRewrite(args[2], args[3], io);
    io.err << "Usage: skelvin-tool grid show GRID.ipt | grid rewrite IN.ipt OUT.ipt\n";
    return ExitUsage;
}

} // namespace skelvin::tool
