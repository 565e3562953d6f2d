#include "core/vision/recordings/ContactSearch.h"

#include "core/frames/VideoDecoder.h"

#include <QElapsedTimer>

namespace skelvin {

namespace {

ContactSearch notFound(const QString &reason, int frames, const QElapsedTimer &clock)
{
    ContactSearch search;
    search.find.reason = reason;
    search.frames = frames;
    search.searchMs = clock.nsecsElapsed() / 1e6;
    return search;
}

} // namespace

ContactSearch searchContact(const QString &videoPath, const Grid &grid,
                            const std::function<bool()> &cancelled)
{
    QElapsedTimer clock;
    clock.start();
    VideoDecoder::OpenFailure failure;
    const std::unique_ptr<VideoDecoder> decoder = VideoDecoder::open(videoPath, &failure);
    if (!decoder)
        return notFound(QStringLiteral("the recording does not open: %1").arg(failure.detail), 0,
                        clock);
    ContactFinder finder(grid);
    for (int frame = 0; frame < decoder->frameCount(); ++frame) {
        if (cancelled && cancelled())
            return notFound(QStringLiteral("the search was stopped"), frame, clock);
        Result<QImage> picture = decoder->decodeFrame(frame);
        if (!picture)
            return notFound(QStringLiteral("frame %1 does not decode: %2")
                                .arg(frame)
                                .arg(picture.error()),
                            frame, clock);
        finder.addFrame(picture.value());
        // The finder keeps what it needs; the picture's memory goes back to the decoder.
        decoder->recycle(std::move(picture.value()));
    }
    ContactSearch search;
    search.find = finder.find();
    search.frames = decoder->frameCount();
    search.searchMs = clock.nsecsElapsed() / 1e6;
    return search;
}

QString contactSearchingText()
{
    return QStringLiteral("Looking for the first contact...");
}

QString contactSuggestionText(const ContactFind &find, int pressedFrame)
{
    QString text = find.found
                       ? QStringLiteral("Suggested first contact: frame %1").arg(find.frame)
                       : QStringLiteral("No contact suggested: %1").arg(find.reason);
    if (pressedFrame >= 0)
        text += QStringLiteral(" (Contact pressed at frame %1)").arg(pressedFrame);
    return text;
}

} // namespace skelvin
