#include "core/capture/recording/VideoEncoder.h"

#include "core/capture/recording/Ffv1Encoder.h"
#include "core/capture/recording/H264Encoder.h"
#include "core/capture/recording/MjpegEncoder.h"
#include "core/capture/recording/RecorderHandles.h"
#include "core/capture/recording/UncompressedEncoder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace skelvin {

VideoEncoder::~VideoEncoder() = default;

void VideoEncoder::configure(AVCodecContext &, AVDictionary **, const CompressorSettings &) const {}

Failure VideoEncoder::open(QSize size, AVRational frameRate, AVPixelFormat sourceFormat,
                           const CompressorSettings &settings)
{
    const AVCodec *codec = findCodec();
    if (!codec)
        return QStringLiteral("FFmpeg has no %1 encoder").arg(name());
    m_context.reset(avcodec_alloc_context3(codec));
    m_converted.reset(av_frame_alloc());
    if (!m_context || !m_converted)
        return ffmpeg::errorText(AVERROR(ENOMEM));
    AVCodecContext &c = *m_context;
    c.width = size.width();
    c.height = size.height();
    c.pix_fmt = encoderFormat(sourceFormat);
    c.time_base = av_inv_q(frameRate);
    c.framerate = frameRate;
    c.sample_aspect_ratio = AVRational{1, 1};
    AVDictionary *options = nullptr;
    configure(c, &options, settings);
    const int rc = avcodec_open2(&c, codec, &options);
    av_dict_free(&options);
    if (rc < 0)
        return QStringLiteral("The %1 encoder does not open: %2")
            .arg(name(), ffmpeg::errorText(rc));
    return std::nullopt;
}

Failure VideoEncoder::encode(const AVFrame &picture, int64_t slot,
                             std::vector<ffmpeg::Packet> &packets)
{
    AVCodecContext &c = *m_context;
    const auto source = AVPixelFormat(picture.format);
    const QSize size(picture.width, picture.height);
    int rc = 0;
    if (source == c.pix_fmt && size == QSize(c.width, c.height) && !bottomUp()) {
        // Already what the encoder takes: hand it over without a copy.
        av_frame_unref(m_converted.get());
        rc = av_frame_ref(m_converted.get(), &picture);
    } else {
        if (!m_scale || source != m_scaleSource || size != m_scaleSize) {
            m_scale.reset(sws_getContext(size.width(), size.height(), source, c.width, c.height,
                                         c.pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr));
            m_scaleSource = source;
            m_scaleSize = size;
            if (!m_scale)
                return QStringLiteral("Pictures in %1 cannot be converted for %2")
                    .arg(QString::fromUtf8(av_get_pix_fmt_name(source)), name());
        }
        if (!m_converted->buf[0] || m_converted->format != c.pix_fmt) {
            av_frame_unref(m_converted.get());
            m_converted->format = c.pix_fmt;
            m_converted->width = c.width;
            m_converted->height = c.height;
            rc = av_frame_get_buffer(m_converted.get(), 0);
        }
        if (rc >= 0)
            rc = av_frame_make_writable(m_converted.get());
        if (rc >= 0) {
            uint8_t *rows[4] = {m_converted->data[0], m_converted->data[1], m_converted->data[2],
                                m_converted->data[3]};
            int strides[4] = {m_converted->linesize[0], m_converted->linesize[1],
                              m_converted->linesize[2], m_converted->linesize[3]};
            if (bottomUp()) {
                // One packed plane: write the last row first.
                rows[0] += std::ptrdiff_t(c.height - 1) * strides[0];
                strides[0] = -strides[0];
            }
            sws_scale(m_scale.get(), picture.data, picture.linesize, 0, size.height(), rows,
                      strides);
        }
    }
    if (rc < 0)
        return ffmpeg::errorText(rc);
    m_converted->pts = slot;
    m_converted->pict_type = AV_PICTURE_TYPE_NONE;
    // An encoder with a fixed quantiser (Motion JPEG's quality) takes it from each picture;
    // without it every picture would get the finest one, whatever the quality setting.
    if (c.flags & AV_CODEC_FLAG_QSCALE)
        m_converted->quality = c.global_quality;
    rc = avcodec_send_frame(&c, m_converted.get());
    if (rc < 0)
        return QStringLiteral("The %1 encoder refused a picture: %2")
            .arg(name(), ffmpeg::errorText(rc));
    return receive(packets);
}

Failure VideoEncoder::flush(std::vector<ffmpeg::Packet> &packets)
{
    const int rc = avcodec_send_frame(m_context.get(), nullptr);
    if (rc < 0 && rc != AVERROR_EOF)
        return ffmpeg::errorText(rc);
    return receive(packets);
}

Failure VideoEncoder::receive(std::vector<ffmpeg::Packet> &packets)
{
    for (;;) {
        ffmpeg::Packet packet(av_packet_alloc());
        if (!packet)
            return ffmpeg::errorText(AVERROR(ENOMEM));
        const int rc = avcodec_receive_packet(m_context.get(), packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return std::nullopt;
        if (rc < 0)
            return QStringLiteral("The %1 encoder failed: %2").arg(name(), ffmpeg::errorText(rc));
        packets.push_back(std::move(packet));
    }
}

QStringList videoCompressorNames()
{
    QStringList names;
    for (int i = 0; i < compressor::kCount; ++i)
        names << makeVideoEncoder(i)->name();
    return names;
}

std::unique_ptr<VideoEncoder> makeVideoEncoder(int index)
{
    switch (index) {
    case compressor::kUncompressed:
        return std::make_unique<UncompressedEncoder>();
    case compressor::kMotionJpeg:
        return std::make_unique<MjpegEncoder>();
    case compressor::kFfv1:
        return std::make_unique<Ffv1Encoder>();
    case compressor::kH264:
        return std::make_unique<H264Encoder>();
    default:
        return nullptr;
    }
}

bool compressorHasSettings(int index)
{
    return index == compressor::kMotionJpeg || index == compressor::kH264;
}

} // namespace skelvin
