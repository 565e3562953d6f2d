#include "tool/ToolCommands.h"

#include "core/common/NumberText.h"
#include "core/geometry/GridTransformSolver.h"
#include "core/geometry/JumpDistance.h"
#include "core/geometry/TwipsPixels.h"
#include "core/grid_setup/GridSetupFile.h"
#include "core/simulation/SimulatedScene.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <cmath>

namespace skelvin::tool {

namespace {

const char *const kSceneUsage =
    "Usage: skelvin-tool scene [--scene FILE] [--size WxH] [--write-grid OUT.ipt]\n"
    "                          [--picture OUT.png [--after-jump SECONDS]] [--time SECONDS]\n";

struct ScenePlace
{
    const char *name;
    SurveyPoint survey;
};

// The grid an operator builds on a still of this view: the buoys marked where they show, in
// twips, with their survey values, the jump position, the transform solved from the corners,
// and the check buoy beside it.
int writeSceneGrid(const SimulatedScene &scene, QSize size, const QString &path, ToolIo &io)
{
    const SceneCourse &c = scene.course();
    auto twips = [&](SurveyPoint p) { return twipsOf(scene.pictureOf(p, size)); };
    Grid grid;
    grid.number = 1;
    grid.description =
        QStringLiteral("Simulated camera %1 x %2").arg(size.width()).arg(size.height());
    grid.corner(Corner::UpperRight) = {twips(c.upperRight), c.upperRight};
    grid.corner(Corner::LowerRight) = {twips(c.lowerRight), c.lowerRight};
    grid.corner(Corner::UpperLeft) = {twips(c.upperLeft), c.upperLeft};
    grid.corner(Corner::LowerLeft) = {twips(c.lowerLeft), c.lowerLeft};
    grid.jump = c.jump;
    grid.checkBuoyScreen = twips(c.checkBuoy);
    grid.checkBuoySurvey = c.checkBuoy;
    const std::optional<GridTransform> transform = SolveGridTransform(grid.corners);
    if (!transform) {
        io.err << kNoUniqueSolutionText << "\n";
        return ExitNoSolution;
    }
    grid.transform = *transform;
    if (const Failure f = writeGridSetupFile(path, grid, grid.number)) {
        io.err << *f << "\n";
        return ExitBadFile;
    }
    if (const Failure f =
            writeCheckBuoyFile(checkBuoyFilePath(path), grid.checkBuoyScreen,
                               bareNumberText(c.checkBuoy.x), bareNumberText(c.checkBuoy.y))) {
        io.err << *f << "\n";
        return ExitBadFile;
    }
    return ExitOk;
}

int scene(const QStringList &args, ToolIo &io)
{
    QString sceneFile, gridPath, picturePath;
    QSize size(1280, 720);
    std::optional<double> afterJump, time;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--scene") && hasValue) {
            sceneFile = args[++i];
        } else if (arg == QLatin1String("--size") && hasValue) {
            if (!parseSize(args[++i], &size)) {
                io.err << "Not a picture size (WxH, at least 16x16): " << args[i] << "\n";
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--write-grid") && hasValue) {
            gridPath = args[++i];
        } else if (arg == QLatin1String("--picture") && hasValue) {
            picturePath = args[++i];
        } else if (arg == QLatin1String("--after-jump") && hasValue) {
            double seconds = 0.0;
            if (!parseNumberField(args[++i], &seconds)) {
                io.err << "Not a number: " << args[i] << "\n";
                return ExitUsage;
            }
            afterJump = seconds;
        } else if (arg == QLatin1String("--time") && hasValue) {
            double seconds = 0.0;
            if (!parseNumberField(args[++i], &seconds) || seconds < 0.0) {
                io.err << "Not a time in seconds from the recording's start: " << args[i] << "\n";
                return ExitUsage;
            }
            time = seconds;
        } else {
            io.err << kSceneUsage;
            return ExitUsage;
        }
    }

    const Result<SimulatedScene> loaded = SimulatedScene::load(sceneFile);
    if (!loaded) {
        io.err << loaded.error() << "\n";
        return ExitBadFile;
    }
    const SimulatedScene &s = loaded.value();
    for (const QString &warning : s.warnings())
        io.err << warning << "\n";

    const SceneCourse &c = s.course();
    const ScenePlace places[] = {
        {"upper_left", c.upperLeft},    {"upper_right", c.upperRight}, {"lower_left", c.lowerLeft},
        {"lower_right", c.lowerRight},  {"check_buoy", c.checkBuoy},   {"jump", c.jump},
        {"landing", s.landingSurvey()},
    };
    bool allSeen = true;
    for (const ScenePlace &place : places) {
        // At a time, as the camera sees it then (it may have moved); else as it was set up.
        const QPointF at = time ? s.pictureOf(place.survey, size, *time)
                                : s.pictureOf(place.survey, size);
        const QString name = QString::fromLatin1(place.name);
        if (std::isfinite(at.x())) {
            io.out << name << "_x=" << fullNumber(at.x()) << "\n"
                   << name << "_y=" << fullNumber(at.y()) << "\n";
        } else {
            allSeen = false;
            io.out << name << "_x=" << kNoImageText << "\n"
                   << name << "_y=" << kNoImageText << "\n";
        }
        io.out << name << "_survey_x=" << fullNumber(place.survey.x) << "\n"
               << name << "_survey_y=" << fullNumber(place.survey.y) << "\n";
    }
    io.out << "landing_seconds=" << fullNumber(s.landingSeconds()) << "\n"
           << "landing_distance_m="
           << fullNumber(std::hypot(s.landingSurvey().x - c.jump.x, s.landingSurvey().y - c.jump.y))
           << "\n"
           << "jump=" << (s.landing().jump ? "yes" : "no") << "\n";
    if (time) {
        const CameraTurn turn = s.turnAt(*time);
        io.out << "time_s=" << fullNumber(*time) << "\n"
               << "camera_pan_deg=" << fullNumber(turn.panDegrees) << "\n"
               << "camera_tilt_deg=" << fullNumber(turn.tiltDegrees) << "\n";
    }

    if (!picturePath.isEmpty()) {
        // A recording starts as the skier leaves the ramp: its time is the time since the jump.
        const double seconds = time.value_or(afterJump.value_or(s.landingSeconds() + 0.1));
        const QImage picture = s.render(size, seconds, seconds, 0);
        if (!picture.save(picturePath)) {
            io.err << "The picture cannot be written: " << picturePath << "\n";
            return ExitBadFile;
        }
    }
    if (!gridPath.isEmpty()) {
        if (!allSeen) {
            io.err << "Not every buoy shows in the picture; no grid written\n";
            return ExitNoImage;
        }
        if (const int code = writeSceneGrid(s, size, gridPath, io); code != ExitOk)
            return code;
    }
    if (!s.warnings().isEmpty())
        return ExitBadFile;
    return allSeen ? ExitOk : ExitNoImage;
}

} // namespace

int runSceneCommand(const QStringList &args, ToolIo &io)
{
    if (args.value(0) != QLatin1String("scene"))
        return -1;
    return scene(args, io);
}

} // namespace skelvin::tool
