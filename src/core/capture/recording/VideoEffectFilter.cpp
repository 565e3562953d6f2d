#include "core/capture/recording/VideoEffectFilter.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace skelvin {

namespace {

struct Effect
{
    const char *name;
    const char *graph; // libavfilter's description, between the frame source and the sink
};

// The sink takes only the source's pixel format, so libavfilter converts to and from the
// formats a filter needs on its own.
const Effect kEffects[] = {
    {"Grey", "format=gray"},
    {"Stronger contrast", "curves=preset=strong_contrast"},
    {"Sharpen", "unsharp=luma_msize_x=3:luma_msize_y=3:luma_amount=1.5"},
};

QString ffmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

QStringList VideoEffectFilter::effectNames()
{
    QStringList names;
    for (const Effect &effect : kEffects)
        names << QString::fromLatin1(effect.name);
    return names;
}

Failure VideoEffectFilter::configure(int id, QSize size, int avPixelFormat)
{
    m_graph.reset();
    m_source = nullptr;
    m_sink = nullptr;
    m_effect = -1;
    if (id == -1)
        return std::nullopt;
    if (id < 0 || id >= static_cast<int>(std::size(kEffects)))
        return QStringLiteral("There is no effect number %1").arg(id);
    if (size.width() <= 0 || size.height() <= 0 ||
        !av_pix_fmt_desc_get(AVPixelFormat(avPixelFormat)))
        return QStringLiteral("The effect %1 cannot work on pictures of %2 x %3 in format %4")
            .arg(QString::fromLatin1(kEffects[id].name))
            .arg(size.width())
            .arg(size.height())
            .arg(avPixelFormat);

    const QString name = QString::fromLatin1(kEffects[id].name);
    auto failed = [&](const char *step, int code) {
        m_graph.reset();
        m_source = nullptr;
        m_sink = nullptr;
        return QStringLiteral("The effect %1 cannot be set up (%2: %3)")
            .arg(name, QString::fromLatin1(step), ffmpegError(code));
    };

    ffmpeg::FilterGraph graph(avfilter_graph_alloc());
    if (!graph)
        return failed("graph", AVERROR(ENOMEM));
    const QByteArray sourceArgs =
        QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=1/1000000:pixel_aspect=1/1")
            .arg(size.width())
            .arg(size.height())
            .arg(avPixelFormat)
            .toLatin1();
    AVFilterContext *source = nullptr;
    AVFilterContext *sink = nullptr;
    int rc = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in",
                                          sourceArgs.constData(), nullptr, graph.get());
    if (rc < 0)
        return failed("source", rc);
    rc = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr,
                                      nullptr, graph.get());
    if (rc < 0)
        return failed("sink", rc);
    const AVPixelFormat formats[] = {AVPixelFormat(avPixelFormat), AV_PIX_FMT_NONE};
    rc = av_opt_set_int_list(sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (rc < 0)
        return failed("sink format", rc);

    // The open ends of the description: its input joins the source, its output the sink.
    ffmpeg::FilterInOut outputs(avfilter_inout_alloc());
    ffmpeg::FilterInOut inputs(avfilter_inout_alloc());
    if (!outputs || !inputs)
        return failed("links", AVERROR(ENOMEM));
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source;
    outputs->pad_idx = 0;
    outputs->next = nullptr;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink;
    inputs->pad_idx = 0;
    inputs->next = nullptr;
    AVFilterInOut *in = inputs.release();
    AVFilterInOut *out = outputs.release();
    rc = avfilter_graph_parse_ptr(graph.get(), kEffects[id].graph, &in, &out, nullptr);
    inputs.reset(in);
    outputs.reset(out);
    if (rc < 0)
        return failed("filters", rc);
    rc = avfilter_graph_config(graph.get(), nullptr);
    if (rc < 0)
        return failed("configuration", rc);

    m_graph = std::move(graph);
    m_source = source;
    m_sink = sink;
    m_effect = id;
    m_size = size;
    m_pixelFormat = avPixelFormat;
    return std::nullopt;
}

ffmpeg::Frame VideoEffectFilter::apply(const AVFrame &in, QString &error)
{
    if (m_effect < 0) {
        ffmpeg::Frame same(av_frame_clone(&in));
        if (!same)
            error = QStringLiteral("Out of memory for a frame");
        return same;
    }
    if (in.width != m_size.width() || in.height != m_size.height() || in.format != m_pixelFormat) {
        error = QStringLiteral("The effect was set up for %1 x %2 pictures in format %3, not "
                               "%4 x %5 in format %6")
                    .arg(m_size.width())
                    .arg(m_size.height())
                    .arg(m_pixelFormat)
                    .arg(in.width)
                    .arg(in.height)
                    .arg(in.format);
        return nullptr;
    }
    // The source takes the frame's buffers over from this new reference.
    ffmpeg::Frame reference(av_frame_clone(&in));
    if (!reference) {
        error = QStringLiteral("Out of memory for a frame");
        return nullptr;
    }
    int rc = av_buffersrc_add_frame_flags(m_source, reference.get(), 0);
    if (rc < 0) {
        error = QStringLiteral("The effect cannot take the frame: %1").arg(ffmpegError(rc));
        return nullptr;
    }
    // Every filter here gives one frame for one; take all there is and keep the newest.
    ffmpeg::Frame result;
    for (;;) {
        ffmpeg::Frame out(av_frame_alloc());
        if (!out) {
            error = QStringLiteral("Out of memory for a frame");
            return nullptr;
        }
        rc = av_buffersink_get_frame(m_sink, out.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            break;
        if (rc < 0) {
            error = QStringLiteral("The effect failed: %1").arg(ffmpegError(rc));
            return nullptr;
        }
        result = std::move(out);
    }
    if (!result)
        error = QStringLiteral("The effect gave no picture for the frame");
    return result;
}

} // namespace skelvin
