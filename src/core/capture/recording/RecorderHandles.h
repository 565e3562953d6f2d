#pragma once

#include "core/frames/FfmpegHandles.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <QString>

#include <memory>

// Owners for the FFmpeg objects of the recorder that the frame reader does not use.
namespace skelvin::ffmpeg {

// An output context whose `pb` is owned elsewhere (the recorder's own file writer).
struct MuxerDeleter
{
    void operator()(AVFormatContext *p) const
    {
        p->pb = nullptr;
        avformat_free_context(p);
    }
};
struct IoContextDeleter
{
    void operator()(AVIOContext *p) const
    {
        av_freep(&p->buffer);
        avio_context_free(&p);
    }
};

struct CodecParametersDeleter
{
    void operator()(AVCodecParameters *p) const { avcodec_parameters_free(&p); }
};

using CodecParameters = std::unique_ptr<AVCodecParameters, CodecParametersDeleter>;
using Muxer = std::unique_ptr<AVFormatContext, MuxerDeleter>;
using IoContext = std::unique_ptr<AVIOContext, IoContextDeleter>;

inline QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace skelvin::ffmpeg
