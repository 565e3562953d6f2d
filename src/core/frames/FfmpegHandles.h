#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

// Owners for the FFmpeg objects of the frame reader: each deleter calls the matching free
// routine, so every object is released on every path out of a function.
namespace skelvin::ffmpeg {

struct FormatInputDeleter
{
    void operator()(AVFormatContext *p) const { avformat_close_input(&p); }
};
struct CodecContextDeleter
{
    void operator()(AVCodecContext *p) const { avcodec_free_context(&p); }
};
struct FrameDeleter
{
    void operator()(AVFrame *p) const { av_frame_free(&p); }
};
struct PacketDeleter
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct ScaleContextDeleter
{
    void operator()(SwsContext *p) const { sws_freeContext(p); }
};

using FormatInput = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using ScaleContext = std::unique_ptr<SwsContext, ScaleContextDeleter>;

} // namespace skelvin::ffmpeg
