#include "core/capture/ContactSearchFeed.h"

#include "core/capture/recording/PacketDecoder.h"
#include "core/capture/recording/PictureConversion.h"
#include "core/vision/recordings/RecordingContactSearch.h"

namespace skelvin {

namespace {

// The search's thread's own decoder and conversion, used by one frame at a time.
struct PictureMaking
{
    PacketDecoder decoder;
    ffmpeg::ScaleContext scale;
};

std::size_t bytesOf(const CapturedFrame &frame)
{
    std::size_t bytes = 0;
    if (frame.packet)
        bytes += std::size_t(std::max(0, frame.packet->size));
    if (frame.picture)
        for (const AVBufferRef *buffer : frame.picture->buf)
            if (buffer)
                bytes += buffer->size;
    return bytes;
}

QImage pictureOf(const CapturedFrame &frame, PictureMaking &making)
{
    const AVFrame *picture = frame.picture.get();
    if (!picture && frame.packet) {
        Result<const AVFrame *> decoded = making.decoder.decode(*frame.packet, frame.packetCodec);
        if (!decoded)
            return {};
        picture = decoded.value();
    }
    if (!picture)
        return {};
    return pictureToImage(*picture, QSize(picture->width, picture->height), making.scale);
}

} // namespace

AviRecorder::FrameWatcher contactSearchFeed(std::shared_ptr<RecordingContactSearch> search)
{
    auto making = std::make_shared<PictureMaking>();
    return [search = std::move(search), making](int64_t slot, const CapturedFrame &frame) {
        auto shared = std::make_shared<CapturedFrame>(sharedFrame(frame));
        const std::size_t bytes = bytesOf(*shared);
        search->add(
            slot, [shared, making] { return pictureOf(*shared, *making); }, bytes);
    };
}

} // namespace skelvin
