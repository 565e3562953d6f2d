#pragma once

#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"

#include <QString>

namespace skelvin {

// Decodes the compressed frames a camera delivers by itself (Motion JPEG) into pictures, for
// the preview, still grabs, effects and compressors other than the camera's own.
class PacketDecoder
{
public:
    // The picture of one packet of codec `codecName` (FFmpeg's name, e.g. "mjpeg"). The
    // returned picture is the decoder's and is valid until the next call.
    Result<const AVFrame *> decode(const AVPacket &packet, const QString &codecName);

private:
    ffmpeg::CodecContext m_context;
    ffmpeg::Frame m_picture;
    QString m_codecName;
};

} // namespace skelvin
