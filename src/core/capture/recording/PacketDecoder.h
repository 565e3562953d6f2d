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
    // returned picture is the decoder's and is valid until the next call. `lowres` 1 to 3
    // decodes at a half, a quarter or an eighth of the picture's width and height, where the
    // codec can (Motion JPEG can: it leaves out the finer frequencies, far cheaper than
    // decoding whole and scaling down).
    Result<const AVFrame *> decode(const AVPacket &packet, const QString &codecName,
                                   int lowres = 0);
    // The largest `lowres` that codec `codecName` decodes at.
    static int mostLowres(const QString &codecName);

private:
    ffmpeg::CodecContext m_context;
    ffmpeg::Frame m_picture;
    QString m_codecName;
    int m_lowres = 0;
};

} // namespace skelvin
