#include "core/simulation/CameraChip.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace skelvin {

namespace {

// The chip's JPEG quantiser (FFmpeg's scale: 2 finest, 31 coarsest): about what a USB camera
// sends at its default quality, pictures of 150 to 300 KiB at 1920 x 1080.
constexpr int kJpegQuantiser = 4;

bool isJpeg(const QString &pixelFormat)
{
    return pixelFormat == QLatin1String("mjpeg");
}

QString memoryError()
{
    return QStringLiteral("The simulated camera ran out of memory");
}

} // namespace

bool CameraChip::delivers(const QString &pixelFormat)
{
    return pixelFormat == QLatin1String("rgb24") || pixelFormat == QLatin1String("bgr0") ||
           pixelFormat == QLatin1String("yuyv422") || isJpeg(pixelFormat);
}

QImage::Format CameraChip::sensorFormat(const QString &pixelFormat)
{
    // rgb24 is RGB888 byte for byte; everything else starts from 32-bit pixels (BGRX in memory
    // on little-endian machines), the scaler's fastest input.
    return pixelFormat == QLatin1String("rgb24") ? QImage::Format_RGB888 : QImage::Format_RGB32;
}

Failure CameraChip::open(const QString &pixelFormat, QSize size)
{
    m_pixelFormat = pixelFormat;
    m_size = size;
    m_jpeg.reset();
    m_scale.reset();
    m_yuv.reset();
    m_pictures = 0;
    m_raw = pixelFormat == QLatin1String("rgb24") || pixelFormat == QLatin1String("bgr0");
    if (m_raw) {
        m_rawFormat = pixelFormat == QLatin1String("rgb24") ? AV_PIX_FMT_RGB24 : AV_PIX_FMT_BGR0;
        return std::nullopt;
    }
    // JPEG keeps full-range YUV; said through the colour range, not FFmpeg's old J formats.
    const AVPixelFormat chipFormat = isJpeg(pixelFormat) ? AV_PIX_FMT_YUV422P : AV_PIX_FMT_YUYV422;
    m_scale.reset(sws_getContext(size.width(), size.height(), AV_PIX_FMT_BGR0, size.width(),
                                 size.height(), chipFormat, SWS_POINT, nullptr, nullptr, nullptr));
    if (!m_scale)
        return QStringLiteral("The simulated camera cannot make %1 pictures").arg(pixelFormat);
    if (isJpeg(pixelFormat)) {
        const int *table = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(m_scale.get(), table, 1, table, 1, 0, 1 << 16, 1 << 16);
        const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
        if (!codec)
            return QStringLiteral("FFmpeg has no Motion JPEG encoder");
        m_jpeg.reset(avcodec_alloc_context3(codec));
        m_yuv.reset(av_frame_alloc());
        if (!m_jpeg || !m_yuv)
            return memoryError();
        AVCodecContext &c = *m_jpeg;
        c.width = size.width();
        c.height = size.height();
        c.pix_fmt = AV_PIX_FMT_YUV422P;
        c.color_range = AVCOL_RANGE_JPEG;
        c.time_base = AVRational{1, 1000};
        c.flags |= AV_CODEC_FLAG_QSCALE;
        c.global_quality = FF_QP2LAMBDA * kJpegQuantiser;
        // One thread: the chip is one processor, and its time is counted on one thread.
        c.thread_count = 1;
        AVDictionary *options = nullptr;
        // A camera's chip uses the standard Huffman tables; working out optimal ones costs a
        // second pass over every picture.
        av_dict_set(&options, "huffman", "default", 0);
        const int rc = avcodec_open2(&c, codec, &options);
        av_dict_free(&options);
        if (rc < 0) {
            m_jpeg.reset();
            return QStringLiteral("The simulated camera's Motion JPEG does not open");
        }
        m_yuv->format = AV_PIX_FMT_YUV422P;
        m_yuv->color_range = AVCOL_RANGE_JPEG;
        m_yuv->width = size.width();
        m_yuv->height = size.height();
        if (av_frame_get_buffer(m_yuv.get(), 0) < 0)
            return memoryError();
    }
    return std::nullopt;
}

ffmpeg::Frame CameraChip::rawFrame() const
{
    if (!m_raw)
        return nullptr;
    ffmpeg::Frame frame(av_frame_alloc());
    if (!frame)
        return nullptr;
    frame->width = m_size.width();
    frame->height = m_size.height();
    frame->format = m_rawFormat;
    if (av_frame_get_buffer(frame.get(), 32) < 0)
        return nullptr;
    return frame;
}

bool CameraChip::deliver(const QImage &sensor, CapturedFrame &frame, QString &error)
{
    const uint8_t *const source[4] = {sensor.constBits(), nullptr, nullptr, nullptr};
    const int sourceLines[4] = {int(sensor.bytesPerLine()), 0, 0, 0};
    if (!isJpeg(m_pixelFormat)) {
        // YUYV: one packed picture, converted by the chip.
        ffmpeg::Frame yuyv(av_frame_alloc());
        if (!yuyv) {
            error = memoryError();
            return false;
        }
        yuyv->format = AV_PIX_FMT_YUYV422;
        yuyv->width = m_size.width();
        yuyv->height = m_size.height();
        if (av_frame_get_buffer(yuyv.get(), 32) < 0) {
            error = memoryError();
            return false;
        }
        sws_scale(m_scale.get(), source, sourceLines, 0, m_size.height(), yuyv->data,
                  yuyv->linesize);
        frame.picture = std::move(yuyv);
        frame.packet.reset();
        frame.packetCodec.clear();
        return true;
    }
    // The encoder may still hold a reference to the last picture's planes.
    if (av_frame_make_writable(m_yuv.get()) < 0) {
        error = memoryError();
        return false;
    }
    sws_scale(m_scale.get(), source, sourceLines, 0, m_size.height(), m_yuv->data, m_yuv->linesize);
    m_yuv->pts = m_pictures++; // the encoder wants its pictures in order
    // With a fixed quantiser the encoder takes it from each picture.
    m_yuv->quality = FF_QP2LAMBDA * kJpegQuantiser;
    ffmpeg::Packet packet(av_packet_alloc());
    if (!packet || avcodec_send_frame(m_jpeg.get(), m_yuv.get()) < 0 ||
        avcodec_receive_packet(m_jpeg.get(), packet.get()) < 0) {
        error = QStringLiteral("The simulated camera could not compress a picture");
        return false;
    }
    packet->flags |= AV_PKT_FLAG_KEY;
    frame.picture.reset();
    frame.packet = std::move(packet);
    frame.packetCodec = QStringLiteral("mjpeg");
    return true;
}

} // namespace skelvin
