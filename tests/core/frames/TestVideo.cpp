#include "TestVideo.h"

#include "core/frames/FfmpegHandles.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QPainter>

#include <algorithm>

namespace skelvin::test {

namespace {

constexpr int kBlock = 8;
constexpr int kBits = 16;

struct OutputDeleter
{
    void operator()(AVFormatContext *p) const
    {
        if (p->pb)
            avio_closep(&p->pb);
        avformat_free_context(p);
    }
};

QString avText(int rc)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(rc, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

const char *codecLabel(TestCodec codec)
{
    switch (codec) {
    case TestCodec::Uncompressed:
        return "Uncompressed";
    case TestCodec::MotionJpeg:
        return "MotionJpeg";
    case TestCodec::Ffv1:
        return "Ffv1";
    case TestCodec::H264:
        return "H264";
    case TestCodec::H264BFrames:
        return "H264BFrames";
    }
    return "";
}

qsizetype movieChunkOffset(const QByteArray &avi, int n)
{
    qsizetype at = avi.indexOf("movi");
    for (int i = 0; i <= n && at >= 0; ++i)
        at = avi.indexOf("00dc", at + 4);
    return at;
}

QImage stampedPicture(int width, int height, int n, bool cameraDetail)
{
    QImage image(width, height, QImage::Format_RGB888);
    quint32 flicker = 2166136261u ^ quint32(n);
    for (int y = 0; y < height; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            int noise = 0;
            if (cameraDetail) {
                // A still texture (the scene) with a little grain that changes every frame.
                const quint32 place = (quint32(x) * 73856093u) ^ (quint32(y) * 19349663u);
                flicker = flicker * 1664525u + 1013904223u;
                noise = int((place * 2654435761u) >> 28) - 8 + int(flicker >> 30) - 2;
            }
            row[3 * x] = uchar(std::clamp(((x * 4 + n * 3) & 0xff) + noise, 0, 255));
            row[3 * x + 1] = uchar(std::clamp(((y * 4) & 0xff) + noise, 0, 255));
            row[3 * x + 2] = uchar(96 + noise);
        }
    }
    QPainter painter(&image);
    const int perRow = width / kBlock;
    for (int bit = 0; bit < kBits; ++bit) {
        const QRect block((bit % perRow) * kBlock, (bit / perRow) * kBlock, kBlock, kBlock);
        painter.fillRect(block, (n >> bit) & 1 ? Qt::white : Qt::black);
    }
    return image;
}

int readStamp(const QImage &image)
{
    const int perRow = image.width() / kBlock;
    if (perRow == 0 || (kBits + perRow - 1) / perRow * kBlock > image.height())
        return -1;
    int n = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        const int x = (bit % perRow) * kBlock + kBlock / 2;
        const int y = (bit / perRow) * kBlock + kBlock / 2;
        const int level = qGray(image.pixel(x, y));
        if (level > 200)
            n |= 1 << bit;
        else if (level > 55)
            return -1; // neither black nor white: not a stamp
    }
    return n;
}

QString writeTestVideo(const QString &path, const TestVideoRecipe &recipe)
{
    av_log_set_level(AV_LOG_ERROR); // the encoders' statistics only clutter the test output
    AVFormatContext *raw = nullptr;
    int rc = avformat_alloc_output_context2(&raw, nullptr, "avi", path.toUtf8().constData());
    if (rc < 0)
        return avText(rc);
    std::unique_ptr<AVFormatContext, OutputDeleter> out(raw);

    const AVCodec *codec = nullptr;
    AVPixelFormat format = AV_PIX_FMT_YUV420P;
    switch (recipe.codec) {
    case TestCodec::Uncompressed:
        codec = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
        format = AV_PIX_FMT_BGR24;
        // Rows bottom-up with a positive height, as uncompressed AVI files are usually stored.
        av_opt_set_int(out->priv_data, "flipped_raw_rgb", 1, 0);
        break;
    case TestCodec::MotionJpeg:
        codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
        format = AV_PIX_FMT_YUVJ420P;
        break;
    case TestCodec::Ffv1:
        codec = avcodec_find_encoder(AV_CODEC_ID_FFV1);
        break;
    case TestCodec::H264:
    case TestCodec::H264BFrames:
        codec = avcodec_find_encoder_by_name("libx264");
        break;
    }
    if (!codec)
        return QStringLiteral("no encoder for %1").arg(codecLabel(recipe.codec));

    AVStream *stream = avformat_new_stream(out.get(), nullptr);
    ffmpeg::CodecContext ctx(avcodec_alloc_context3(codec));
    ctx->width = recipe.width;
    ctx->height = recipe.height;
    ctx->pix_fmt = format;
    ctx->time_base = AVRational{recipe.rateDen, recipe.rateNum};
    ctx->framerate = AVRational{recipe.rateNum, recipe.rateDen};
    ctx->gop_size = recipe.gopFrames;
    ctx->max_b_frames = recipe.codec == TestCodec::H264BFrames ? 2 : 0;
    ctx->thread_count = 1;
    if (recipe.codec == TestCodec::MotionJpeg) {
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = FF_QP2LAMBDA * 3;
    }
    if (out->oformat->flags & AVFMT_GLOBALHEADER)
        ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (recipe.codec == TestCodec::H264 || recipe.codec == TestCodec::H264BFrames) {
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "16", 0);
        // Closed groups of pictures with a key frame every gopFrames, as a recorder writes.
        av_dict_set(&options, "x264-params", "scenecut=0:open-gop=0", 0);
    }
    rc = avcodec_open2(ctx.get(), codec, &options);
    av_dict_free(&options);
    if (rc < 0)
        return avText(rc);
    avcodec_parameters_from_context(stream->codecpar, ctx.get());
    stream->time_base = ctx->time_base;
    stream->avg_frame_rate = ctx->framerate;

    if ((rc = avio_open(&out->pb, path.toUtf8().constData(), AVIO_FLAG_WRITE)) < 0)
        return avText(rc);
    if ((rc = avformat_write_header(out.get(), nullptr)) < 0)
        return avText(rc);

    ffmpeg::ScaleContext scale(sws_getContext(recipe.width, recipe.height, AV_PIX_FMT_RGB24, recipe.width,
                                              recipe.height, format, SWS_BILINEAR, nullptr, nullptr,
                                              nullptr));
    ffmpeg::Frame frame(av_frame_alloc());
    ffmpeg::Packet packet(av_packet_alloc());
    frame->format = format;
    frame->width = recipe.width;
    frame->height = recipe.height;
    if ((rc = av_frame_get_buffer(frame.get(), 0)) < 0)
        return avText(rc);

    const auto drain = [&]() -> int {
        for (;;) {
            int r = avcodec_receive_packet(ctx.get(), packet.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return 0;
            if (r < 0)
                return r;
            av_packet_rescale_ts(packet.get(), ctx->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if ((r = av_interleaved_write_frame(out.get(), packet.get())) < 0)
                return r;
        }
    };
    for (int n = 0; n < recipe.frames; ++n) {
        if (recipe.droppedFrames.contains(n)) {
            av_packet_unref(packet.get());
            packet->pts = packet->dts = av_rescale_q(n, ctx->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if ((rc = av_interleaved_write_frame(out.get(), packet.get())) < 0)
                return avText(rc);
            continue;
        }
        QImage picture = stampedPicture(recipe.width, recipe.height, n, recipe.cameraDetail);
        if (recipe.codec == TestCodec::Uncompressed)
            picture = picture.mirrored(false, true);
        if ((rc = av_frame_make_writable(frame.get())) < 0)
            return avText(rc);
        const uint8_t *src[4] = {picture.constBits(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {int(picture.bytesPerLine()), 0, 0, 0};
        sws_scale(scale.get(), src, srcStride, 0, recipe.height, frame->data, frame->linesize);
        frame->pts = n;
        if ((rc = avcodec_send_frame(ctx.get(), frame.get())) < 0 || (rc = drain()) < 0)
            return avText(rc);
    }
    if ((rc = avcodec_send_frame(ctx.get(), nullptr)) < 0 || (rc = drain()) < 0)
        return avText(rc);
    if ((rc = av_write_trailer(out.get())) < 0)
        return avText(rc);
    return QString();
}

} // namespace skelvin::test
