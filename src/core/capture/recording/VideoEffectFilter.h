#pragma once

#include "core/capture/recording/FilterHandles.h"
#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"

#include <QSize>
#include <QString>
#include <QStringList>

namespace skelvin {

// The effects of the group "Video Effect 1": a few that help an operator see a splash, each a
// libavfilter graph that gives back frames of the size and pixel format it is given.
// Nothing is applied until an effect is chosen.
class VideoEffectFilter
{
public:
    VideoEffectFilter() = default;

    // "Grey", "Stronger contrast", "Sharpen"; an effect's id is its position here.
    static QStringList effectNames();

    // Chooses effect `id` (-1: none) for frames of this size and FFmpeg pixel format. On
    // failure the reason is given and no effect is applied.
    Failure configure(int id, QSize size, int avPixelFormat);
    int effect() const { return m_effect; }

    // The frame with the effect applied; with none, a new reference to `in` itself. Null with
    // the reason in `error` when the frame cannot be filtered (another size or format than
    // configured, or the filter failed).
    ffmpeg::Frame apply(const AVFrame &in, QString &error);

private:
    int m_effect = -1;
    QSize m_size;
    int m_pixelFormat = -1;
    ffmpeg::FilterGraph m_graph;
    AVFilterContext *m_source = nullptr; // owned by m_graph
    AVFilterContext *m_sink = nullptr;   // owned by m_graph
};

} // namespace skelvin
