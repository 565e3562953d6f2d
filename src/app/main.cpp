#include "app/CommandLine.h"
#include "app/Program.h"
#include "core/capture/CaptureDevice.h"
#include "core/common/Clock.h"
#include "ui/common/QtPrompter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(skelvin::kApplicationTitle);
    // The program ends when the main screen closes, not when the last window of the moment
    // (a message box during start-up) goes away.
    QApplication::setQuitOnLastWindowClosed(false);

    int exitCode = 0;
    const auto options = skelvin::parseCommandLine(QApplication::arguments(), &exitCode);
    if (!options)
        return exitCode;

    skelvin::SystemClock clock;
    skelvin::QtPrompter prompter;
    skelvin::Program program(*options, clock, prompter);
    if (!program.start())
        return 0;
    return QApplication::exec();
}
