#include "core/capture/devices/FfmpegDeviceInput.h"

#include "core/capture/devices/CaptureFfmpegHandles.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavutil/time.h>
}

#include <chrono>
#include <mutex>
#include <thread>

namespace skelvin {

namespace {
// How long a read sleeps between asking a non-blocking device again.
constexpr auto kPollStep = std::chrono::milliseconds(2);
} // namespace

void FfmpegDeviceInput::registerDevices()
{
    static std::once_flag once;
    std::call_once(once, [] { avdevice_register_all(); });
}

int FfmpegDeviceInput::interruptCallback(void *opaque)
{
    auto *self = static_cast<FfmpegDeviceInput *>(opaque);
    const int64_t deadline = self->m_openDeadlineUs;
    return self->m_interrupted || (deadline > 0 && av_gettime_relative() > deadline);
}

int FfmpegDeviceInput::open(const char *formatName, const QString &url, const Options &options,
                            int openTimeoutMs)
{
    close();
    registerDevices();
    const AVInputFormat *format = av_find_input_format(formatName);
    if (!format)
        return AVERROR_DEMUXER_NOT_FOUND;

    AVDictionary *rawOptions = nullptr;
    for (const auto &[key, value] : options)
        av_dict_set(&rawOptions, key.toUtf8().constData(), value.toUtf8().constData(), 0);
    ffmpeg::Dictionary optionsOwner(rawOptions);

    AVFormatContext *context = avformat_alloc_context();
    if (!context)
        return AVERROR(ENOMEM);
    context->flags |= AVFMT_FLAG_NONBLOCK;
    context->interrupt_callback = {&FfmpegDeviceInput::interruptCallback, this};
    m_interrupted = false;
    m_openDeadlineUs = av_gettime_relative() + int64_t(openTimeoutMs) * 1000;

    AVDictionary *remaining = optionsOwner.release();
    // On failure avformat_open_input frees the context itself.
    const int result = avformat_open_input(&context, url.toUtf8().constData(), format, &remaining);
    optionsOwner.reset(remaining);
    m_openDeadlineUs = 0;
    if (result < 0)
        return result;
    m_context.reset(context);
    if (m_context->nb_streams < 1) {
        close();
        return AVERROR_STREAM_NOT_FOUND;
    }
    return 0;
}

void FfmpegDeviceInput::close()
{
    m_context.reset();
}

int FfmpegDeviceInput::read(AVPacket *packet, int waitMs)
{
    if (!m_context)
        return AVERROR(EINVAL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (m_interrupted.exchange(false))
            return AVERROR(EAGAIN);
        const int result = av_read_frame(m_context.get(), packet);
        if (result != AVERROR(EAGAIN))
            return result;
        if (std::chrono::steady_clock::now() >= deadline)
            return AVERROR(EAGAIN);
        std::this_thread::sleep_for(kPollStep);
    }
}

int64_t FfmpegDeviceInput::timestampUs(int64_t pts) const
{
    if (pts == AV_NOPTS_VALUE || !m_context)
        return av_gettime_relative();
    return av_rescale_q(pts, stream()->time_base, AVRational{1, 1000000});
}

} // namespace skelvin
