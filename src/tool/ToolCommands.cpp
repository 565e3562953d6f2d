#include "tool/ToolCommands.h"

#include <QRegularExpression>

#include <cstdio>

namespace skelvin::tool {

namespace {

const char *const kUsage =
    "Usage: skelvin-tool COMMAND ...\n"
    "       skelvin-tool --help | --version\n"
    "\n"
    "Grid files:\n"
    "  solve GRID.ipt                      solve the transform from the file's four corners\n"
    "  measure GRID.ipt X Y [--tournament normal|barefoot|sitski] [--solve] [--follow PICTURE]\n"
    "                                      map picture point X, Y (twips) and measure the jump,\n"
    "                                      with --follow on the grid followed to the buoys found\n"
    "                                      in PICTURE\n"
    "  inverse GRID.ipt X Y                picture point (twips) of survey point X, Y (metres)\n"
    "  grid show GRID.ipt                  the grid's fields and its check buoy validation\n"
    "  grid rewrite IN.ipt OUT.ipt         write the grid and its check buoy file again\n"
    "  accuracy GRID.ipt [--tournament normal|barefoot|sitski] [--picture-width TWIPS]\n"
    "                                      the accuracy check's grades of the 7 x 7 lattice and\n"
    "                                      the report lines it appends (picture width default\n"
    "                                      12000 twips, for the front and back ratios)\n"
    "  accuracy-map GRID.ipt OUT.png [--size WxH] [--tournament normal|barefoot|sitski]\n"
    "                                      the accuracy check's grade at every pixel of a picture\n"
    "                                      (default 800x600) inside the four corner buoys, as a\n"
    "                                      PNG, and how many pixels have each grade\n"
    "\n"
    "  buoys PICTURE GRID.ipt | buoys VIDEO.avi GRID.ipt --frame N\n"
    "                                      the grid's five buoys found in the picture (pixels),\n"
    "                                      how far each is from its mark, and whether the camera\n"
    "                                      moved\n"
    "  contact VIDEO.avi GRID.ipt          the first frame (from 0) in which the skier meets the\n"
    "                                      water inside the landing area and where (pixels), or\n"
    "                                      none and why; the search's time in ms\n"
    "\n"
    "Video files:\n"
    "  avi-info FILE.avi                   the file's facts as Browse lists them\n"
    "  frame FILE.avi N OUT.bmp            write frame N (from 0) as a 24-bit bitmap\n"
    "  step FILE.avi [--from N] [--count K] [--backward] [--interval MS]\n"
    "                                      step K frames as the player does, one step every MS\n"
    "                                      ms (default 100), and print the step latency\n"
    "\n"
    "Simulated camera:\n"
    "  scene [--scene FILE] [--size WxH] [--write-grid OUT.ipt] [--picture OUT [--after-jump S]]\n"
    "                                      where the buoys, the jump and the landing show in the\n"
    "                                      view (pixels, default 1280x720), the grid an operator\n"
    "                                      would build from it, and the view S seconds after the\n"
    "                                      jump (default just after landing)\n"
    "\n"
    "Capture:\n"
    "  devices [--scene FILE]              video devices with their inputs and formats, audio\n"
    "                                      devices, compressors\n"
    "  capture OUT.avi [--device N | --simulated] [--scene FILE] [--size WxH] [--rate FPS]\n"
    "          [--seconds S] [--compressor none|mjpeg|ffv1|h264] [--audio N] [--preview]\n"
    "                                      record S seconds (default 3) and print the statistics;\n"
    "                                      with --simulated also where and when the skier lands\n"
    "\n"
    "Exit codes: 0 done, 1 wrong command line, 2 file unreadable or malformed,\n"
    "3 no unique solution, 4 point with no image.\n";

} // namespace

bool parseSize(const QString &text, QSize *size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    *size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return size->width() >= 16 && size->height() >= 16;
}

QString fullNumber(double value)
{
    return QString::number(value, 'g', 17);
}

int run(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    ToolIo io{out, err};

    const QString command = args.value(0);
    if (command.isEmpty() || command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        (command.isEmpty() ? err : out) << kUsage;
        return command.isEmpty() ? ExitUsage : ExitOk;
    }
    if (command == QLatin1String("--version") && args.size() == 1) {
        out << "skelvin-tool " << SKELVIN_VERSION << "\n";
        return ExitOk;
    }

    int code = -1;
    if (code < 0)
        code = runGridCommand(args, io);
    if (code < 0)
        code = runVideoCommand(args, io);
    if (code < 0)
        code = runAccuracyCommand(args, io);
    if (code < 0)
        code = runSceneCommand(args, io);
    if (code < 0)
        code = runCaptureCommand(args, io);
    if (code < 0)
        code = runVisionCommand(args, io);
    if (code < 0) {
        err << "Unknown command: " << command << "\n" << kUsage;
        code = ExitUsage;
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace skelvin::tool
