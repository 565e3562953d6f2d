#pragma once

#include <cstdint> // FFmpeg's C headers need UINT64_C in C++

extern "C" {
#include <libavfilter/avfilter.h>
}

#include <memory>

// Owners for the effect filter's libavfilter objects; the filters inside a graph belong to it.
namespace skelvin::ffmpeg {

struct FilterGraphDeleter
{
    void operator()(AVFilterGraph *p) const { avfilter_graph_free(&p); }
};
struct FilterInOutDeleter
{
    void operator()(AVFilterInOut *p) const { avfilter_inout_free(&p); }
};

using FilterGraph = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;
using FilterInOut = std::unique_ptr<AVFilterInOut, FilterInOutDeleter>;

} // namespace skelvin::ffmpeg
