#include "app/CommandLine.h"
#include "app/Program.h"
#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "ui/common/QtPrompter.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    // The options are read before the window system is reached, so --help and --version answer
    // on a machine without a display, and a wrong option is told without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int exitCode = 0;
    const auto options = skelvin::parseCommandLine(arguments, &exitCode);
    if (!options)
        return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(skelvin::kApplicationTitle);
    // The program ends when the main screen closes, not when the last window of the moment
    // (a message box during start-up) goes away.
    QApplication::setQuitOnLastWindowClosed(false);

    skelvin::SystemClock clock;
    skelvin::QtPrompter prompter;
    skelvin::Program program(*options, clock, prompter);
    if (!program.start())
        return 0;
    return QApplication::exec();
}
