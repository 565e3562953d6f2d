#pragma once

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <memory>

// Owners for the FFmpeg objects the capture devices add to those of the frame reader.
namespace skelvin::ffmpeg {

struct DictionaryDeleter
{
    void operator()(AVDictionary *p) const { av_dict_free(&p); }
};
// An output device context (one that writes no file of its own).
struct FormatOutputDeleter
{
    void operator()(AVFormatContext *p) const { avformat_free_context(p); }
};

using Dictionary = std::unique_ptr<AVDictionary, DictionaryDeleter>;
using FormatOutput = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;

} // namespace skelvin::ffmpeg
