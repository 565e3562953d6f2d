#include "tool/ToolCommands.h"

#include "core/common/Prompter.h"
#include "core/frames/FrameMessages.h"
#include "core/frames/FramePicture.h"
#include "core/frames/FrameSource.h"
#include "core/frames/mmInfo.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace skelvin::tool {

namespace {

// The operator's messages of the core routines, written to standard error.
class ErrorStreamPrompter : public Prompter
{
public:
    explicit ErrorStreamPrompter(QTextStream &err) : m_err(err) {}

    Answer message(const MessageRequest &request) override
    {
        m_err << request.text << "\n";
        return Answer::Ok;
    }
    std::optional<QString> input(const InputRequest &) override { return std::nullopt; }
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return std::nullopt; }

private:
    QTextStream &m_err;
};

bool parseCount(const QString &text, int minimum, int *value, ToolIo &io)
{
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok || parsed < minimum) {
        io.err << "Not a whole number of at least " << minimum << ": " << text << "\n";
        return false;
    }
    *value = parsed;
    return true;
}

int aviInfo(const QStringList &args, ToolIo &io)
{
    if (args.size() != 2) {
        io.err << "Usage: skelvin-tool avi-info FILE.avi\n";
        return ExitUsage;
    }
    ErrorStreamPrompter prompter(io.err);
    if (!mmInfo::IsAviFile(args[1], prompter)) {
        io.err << frame_messages::kNotValidAvi << "\n";
        return ExitBadFile;
    }
    AviFileInfo info;
    if (!mmInfo::ReadAviFileInfo(args[1], &info, prompter))
        return ExitBadFile;
    for (const QString &line : mmInfo::fileInfoLines(args[1], info))
        io.out << line << "\n";
    return ExitOk;
}

int frame(const QStringList &args, ToolIo &io)
{
    int number = 0;
    if (args.size() != 4) {
        io.err << "Usage: skelvin-tool frame FILE.avi N OUT.bmp\n";
        return ExitUsage;
    }
    if (!parseCount(args[2], 0, &number, io))
        return ExitUsage;
    ErrorStreamPrompter prompter(io.err);
    return writeFramePicture(args[1], number, args[3], prompter) ? ExitOk : ExitBadFile;
}

double percentile(std::vector<double> sorted, double fraction)
{
    if (sorted.empty())
        return 0;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = std::size_t(std::ceil(fraction * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

// Steps through the video as the frame player does on a held arrow key and measures, for each
// step, the time from the request to the picture being ready to show. A step whose picture is
// still not ready at the next tick holds the following step back.
int step(const QStringList &args, ToolIo &io)
{
    QString path;
    int from = 0;
    int count = 100;
    int intervalMs = 100;
    bool backward = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--backward")) {
            backward = true;
        } else if (arg == QLatin1String("--from") && hasValue) {
            if (!parseCount(args[++i], 0, &from, io))
                return ExitUsage;
        } else if (arg == QLatin1String("--count") && hasValue) {
            if (!parseCount(args[++i], 1, &count, io))
                return ExitUsage;
        } else if (arg == QLatin1String("--interval") && hasValue) {
            if (!parseCount(args[++i], 0, &intervalMs, io))
                return ExitUsage;
        } else if (path.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            path = arg;
        } else {
            path.clear();
            break;
        }
    }
    if (path.isEmpty()) {
        io.err << "Usage: skelvin-tool step FILE.avi [--from N] [--count K] [--backward]"
                  " [--interval MS]\n";
        return ExitUsage;
    }

    FrameSource source;
    VideoDecoder::OpenFailure failure;
    if (!source.open(path, &failure)) {
        io.err << (failure.kind == VideoDecoder::OpenError::NoDecoder
                       ? frame_messages::kNoDecompressor
                       : frame_messages::withPath(frame_messages::kErrorWorkingWithFile, path))
               << "\n"
               << failure.detail << "\n";
        return ExitBadFile;
    }

    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<double> latenciesMs;
    bool waiting = false;
    bool tickPassed = false;
    QString failed;
    QTimer ticker;
    ticker.setInterval(intervalMs);

    const auto stepOnce = [&] {
        const int before = source.position();
        tickPassed = false;
        waiting = true;
        clock.start();
        backward ? source.stepBack() : source.stepForward();
        if (source.position() == before) { // the end of the video
            waiting = false;
            loop.quit();
        }
    };
    QObject::connect(&source, &FrameSource::frameReady, &loop, [&](int, const QImage &) {
        if (!waiting)
            return;
        waiting = false;
        latenciesMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (int(latenciesMs.size()) >= count)
            loop.quit();
        else if (tickPassed)
            stepOnce();
    });
    QObject::connect(&source, &FrameSource::frameFailed, &loop, [&](int frame, const QString &why) {
        failed = QStringLiteral("frame %1: %2").arg(frame).arg(why);
        loop.quit();
    });
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        if (waiting)
            tickPassed = true;
        else
            stepOnce();
    });

    // Wait for the starting frame, then step on every tick.
    const int start = std::clamp(from, 0, source.frameCount() - 1);
    source.seek(start);
    if (source.currentFrame().isNull()) {
        QObject::connect(&source, &FrameSource::frameReady, &loop, [&](int frame) {
            if (frame == start && !ticker.isActive())
                loop.quit();
        });
        loop.exec();
    }
    if (failed.isEmpty()) {
        ticker.start();
        loop.exec();
    }
    if (!failed.isEmpty()) {
        io.err << frame_messages::withPath(frame_messages::kErrorWorkingWithFile, path) << "\n"
               << failed << "\n";
        return ExitBadFile;
    }
    io.out << "median_ms=" << QString::number(percentile(latenciesMs, 0.5), 'f', 3) << "\n"
           << "p95_ms=" << QString::number(percentile(latenciesMs, 0.95), 'f', 3) << "\n"
           << "frames=" << latenciesMs.size() << "\n";
    return ExitOk;
}

} // namespace

int runVideoCommand(const QStringList &args, ToolIo &io)
{
    const QString command = args.value(0);
    if (command == QLatin1String("avi-info"))
        return aviInfo(args, io);
    if (command == QLatin1String("frame"))
        return frame(args, io);
    if (command == QLatin1String("step"))
        return step(args, io);
    return -1;
}

} // namespace skelvin::tool
