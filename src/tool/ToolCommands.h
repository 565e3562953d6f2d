#pragma once

#include <QSize>
#include <QStringList>
#include <QTextStream>

namespace skelvin::tool {

// Exit codes of skelvin-tool.
enum ExitCode {
    ExitOk = 0,
    ExitUsage = 1,
    ExitBadFile = 2,
    ExitNoSolution = 3,
    ExitNoImage = 4,
};

struct ToolIo
{
    QTextStream &out;
    QTextStream &err;
};

// Runs one command line (without the program name) and returns the exit code.
int run(const QStringList &args);

// The command groups, each in its own file.
int runGridCommand(const QStringList &args, ToolIo &io);     // solve, measure, inverse, grid
int runVideoCommand(const QStringList &args, ToolIo &io);    // avi-info, frame, step
int runAccuracyCommand(const QStringList &args, ToolIo &io); // accuracy, accuracy-map
int runSceneCommand(const QStringList &args, ToolIo &io);    // scene
int runCaptureCommand(const QStringList &args, ToolIo &io);  // devices, capture
int runVisionCommand(const QStringList &args, ToolIo &io);   // buoys, contact

// A picture size written WxH, at least 16 x 16.
bool parseSize(const QString &text, QSize *size);

// Numbers that are not official texts: 17 significant digits.
QString fullNumber(double value);

} // namespace skelvin::tool
