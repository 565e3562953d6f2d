#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

namespace skelvin {

std::optional<CommandLineOptions> parseCommandLine(const QStringList &arguments, int *exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Skelvin measures the distance of water-ski jumps from video."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and leave."));
    const QCommandLineOption appDir(QStringLiteral("app-dir"),
        QStringLiteral("Application directory (skier names, manual, status pictures). Default ~/.local/share/DE05."),
        QStringLiteral("DIR"));
    const QCommandLineOption driveRoot(QStringLiteral("drive-root"),
        QStringLiteral("Root that holds the qvio exchange directory. Default /."), QStringLiteral("DIR"));
    const QCommandLineOption settings(QStringLiteral("settings"),
        QStringLiteral("Settings file. Default ~/.config/DE05/DE05.conf."), QStringLiteral("FILE"));
    const QCommandLineOption simulated(QStringLiteral("simulated-camera"),
        QStringLiteral("Use the simulated camera instead of a real one."));
    const QCommandLineOption scene(QStringLiteral("scene"),
        QStringLiteral("Scene file of the simulated camera (with --simulated-camera)."),
        QStringLiteral("FILE"));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the program's version and leave."));
    parser.addOptions({help, version, appDir, driveRoot, settings, simulated, scene});

    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
        *exitCode = 1;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fprintf(stdout, "%s", qPrintable(parser.helpText()));
        *exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::fprintf(stdout, "skelvin %s\n", SKELVIN_VERSION);
        *exitCode = 0;
        return std::nullopt;
    }
    const Paths defaults = Paths::defaults();
    const auto pick = [&](const QCommandLineOption &option, const QString &fallback) {
        return parser.isSet(option) ? QDir(parser.value(option)).absolutePath() : fallback;
    };
    CommandLineOptions options;
    options.paths = Paths(pick(appDir, defaults.appDir()), pick(driveRoot, defaults.driveRoot()),
                          parser.isSet(settings) ? QDir::current().absoluteFilePath(parser.value(settings))
                                                 : defaults.settingsFile());
    options.simulatedCamera = parser.isSet(simulated);
    if (parser.isSet(scene)) {
        if (!options.simulatedCamera) {
            std::fprintf(stderr, "--scene is for the simulated camera: add --simulated-camera\n");
            *exitCode = 1;
            return std::nullopt;
        }
        options.sceneFile = QDir::current().absoluteFilePath(parser.value(scene));
    }
    return options;
}

} // namespace skelvin
