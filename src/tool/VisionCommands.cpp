#include "tool/ToolCommands.h"

#include "core/common/NumberText.h"
#include "core/frames/VideoDecoder.h"
#include "core/grid_setup/GridFileLoader.h"
#include "core/vision/GridBuoyCheck.h"
#include "core/vision/recordings/ContactSearch.h"

#include <QImage>

#include <cmath>
#include <optional>

namespace skelvin::tool {

namespace {

// A picture file, or frame N of a video with --frame N.
std::optional<QImage> loadPicture(const QString &path, std::optional<int> frame, ToolIo &io)
{
    if (!frame) {
        QImage picture(path);
        if (picture.isNull()) {
            io.err << "Cannot read the picture " << path << "\n";
            return std::nullopt;
        }
        return picture;
    }
    VideoDecoder::OpenFailure failure;
    const std::unique_ptr<VideoDecoder> decoder = VideoDecoder::open(path, &failure);
    if (!decoder) {
        io.err << "Cannot open the video " << path << ": " << failure.detail << "\n";
        return std::nullopt;
    }
    const Result<QImage> picture = decoder->decodeFrame(*frame);
    if (!picture) {
        io.err << "Frame " << *frame << " of " << path << " does not decode: " << picture.error()
               << "\n";
        return std::nullopt;
    }
    return picture.value();
}

int buoys(const QStringList &args, ToolIo &io)
{
    QStringList positional;
    std::optional<int> frame;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--frame") && i + 1 < args.size()) {
            bool ok = false;
            frame = args[++i].toInt(&ok);
            if (!ok || *frame < 0) {
                io.err << "Not a frame number: " << args[i] << "\n";
                return ExitUsage;
            }
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2) {
        io.err << "Usage: skelvin-tool buoys PICTURE GRID.ipt | buoys VIDEO.avi GRID.ipt --frame N\n";
        return ExitUsage;
    }
    const std::optional<QImage> picture = loadPicture(positional[0], frame, io);
    if (!picture)
        return ExitBadFile;
    const Result<GridFiles> files = readGridFiles(positional[1]);
    if (!files) {
        io.err << files.error() << "\n";
        return ExitBadFile;
    }
    // The grid as the program measures with it: the file's transform and its check buoy.
    const Grid grid = gridFromFiles(files.value(), 1);
    const GridBuoyCheck check = checkGridBuoys(*picture, grid);
    for (const GridBuoyFind &b : check.buoys) {
        if (!b.find.found) {
            io.out << b.name << "_found=no\n" << b.name << "_reason=" << b.find.reason << "\n";
            continue;
        }
        io.out << b.name << "_x=" << fullNumber(b.find.centre.x()) << "\n"
               << b.name << "_y=" << fullNumber(b.find.centre.y()) << "\n"
               << b.name << "_shift_px="
               << fullNumber(std::hypot(b.shift().x(), b.shift().y())) << "\n";
    }
    io.out << "shift_x_px=" << fullNumber(check.meanShift.x()) << "\n"
           << "shift_y_px=" << fullNumber(check.meanShift.y()) << "\n"
           << "camera_moved=" << (check.moved ? "yes" : "no") << "\n";
    if (check.distanceChangeMetres)
        io.out << "distance_change_m=" << fullNumber(*check.distanceChangeMetres) << "\n";
    return ExitOk;
}

// The first contact of the jump in a recording: its frame (from 0) and point, or none and why.
int contact(const QStringList &args, ToolIo &io)
{
    if (args.size() != 3) {
        io.err << "Usage: skelvin-tool contact VIDEO.avi GRID.ipt\n";
        return ExitUsage;
    }
    const Result<GridFiles> files = readGridFiles(args[2]);
    if (!files) {
        io.err << files.error() << "\n";
        return ExitBadFile;
    }
    const ContactSearch search = searchContact(args[1], gridFromFiles(files.value(), 1));
    if (search.frames == 0 && !search.find.found) {
        io.err << "Cannot search " << args[1] << ": " << search.find.reason << "\n";
        return ExitBadFile;
    }
    const ContactFind &find = search.find;
    if (find.found) {
        io.out << "contact_frame=" << find.frame << "\n"
               << "contact_x=" << fullNumber(find.point.x()) << "\n"
               << "contact_y=" << fullNumber(find.point.y()) << "\n";
    } else {
        io.out << "contact_frame=none\n"
               << "reason=" << find.reason << "\n"
               << "contact_x=none\n"
               << "contact_y=none\n";
    }
    io.out << "search_ms=" << QString::number(search.searchMs, 'f', 1) << "\n";
    return ExitOk;
}

} // namespace

int runVisionCommand(const QStringList &args, ToolIo &io)
{
    if (args.value(0) == QLatin1String("buoys"))
        return buoys(args, io);
    if (args.value(0) == QLatin1String("contact"))
        return contact(args, io);
    return -1;
}

} // namespace skelvin::tool
