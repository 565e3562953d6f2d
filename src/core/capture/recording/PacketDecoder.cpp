#include "core/capture/recording/PacketDecoder.h"

#include "core/capture/recording/RecorderHandles.h"

#include <algorithm>

namespace skelvin {

int PacketDecoder::mostLowres(const QString &codecName)
{
    const AVCodec *codec = avcodec_find_decoder_by_name(codecName.toLatin1().constData());
    return codec ? codec->max_lowres : 0;
}

Result<const AVFrame *> PacketDecoder::decode(const AVPacket &packet, const QString &codecName,
                                              int lowres)
{
    using R = Result<const AVFrame *>;
    if (!m_context || codecName != m_codecName || lowres != m_lowres) {
        m_context.reset();
        const AVCodec *codec = avcodec_find_decoder_by_name(codecName.toLatin1().constData());
        if (!codec)
            return R::failure(QStringLiteral("FFmpeg has no decoder for %1").arg(codecName));
        m_context.reset(avcodec_alloc_context3(codec));
        m_picture.reset(av_frame_alloc());
        if (!m_context || !m_picture)
            return R::failure(ffmpeg::errorText(AVERROR(ENOMEM)));
        m_context->lowres = std::clamp(lowres, 0, int(codec->max_lowres));
        const int rc = avcodec_open2(m_context.get(), codec, nullptr);
        if (rc < 0) {
            m_context.reset();
            return R::failure(ffmpeg::errorText(rc));
        }
        m_codecName = codecName;
        m_lowres = lowres;
    }
    // One packet in, one picture out: a camera's compressed frames stand alone.
    int rc = avcodec_send_packet(m_context.get(), &packet);
    if (rc == AVERROR(EAGAIN))
        rc = 0;
    if (rc < 0)
        return R::failure(QStringLiteral("A frame from the camera does not decode: %1")
                              .arg(ffmpeg::errorText(rc)));
    av_frame_unref(m_picture.get());
    rc = avcodec_receive_frame(m_context.get(), m_picture.get());
    if (rc < 0)
        return R::failure(QStringLiteral("A frame from the camera does not decode: %1")
                              .arg(ffmpeg::errorText(rc)));
    return R(m_picture.get());
}

} // namespace skelvin
