#include "TestVideo.h"

#include "core/frames/FfmpegHandles.h"
#include "core/frames/PictureConverter.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QPainter>

#include <algorithm>
#include <map>
#include <vector>

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

// MPEG-4 Part 2 video object planes ("VOPs"), for packing B-frames as DivX did.
constexpr quint8 kVopStartCode = 0xb6;
constexpr int kVopI = 0;
constexpr int kVopP = 1;
constexpr int kVopB = 2;

qsizetype vopStart(const QByteArray &bytes)
{
    return bytes.indexOf(QByteArray("\x00\x00\x01\xb6", 4));
}

int vopType(const QByteArray &bytes)
{
    const qsizetype at = vopStart(bytes);
    return at < 0 || at + 4 >= bytes.size() ? -1 : quint8(bytes[at + 4]) >> 6;
}

// The placeholder a packer writes where a stored picture is to be shown: a P-VOP header with
// the time of the picture it stands for and "not coded".
QByteArray notCodedVop(const QByteArray &reference, int timeIncrementBits)
{
    const qsizetype at = vopStart(reference) + 4;
    qsizetype readBit = at * 8 + 2; // past the coding type
    const auto next = [&] {
        const int bit = (quint8(reference[readBit / 8]) >> (7 - readBit % 8)) & 1;
        ++readBit;
        return bit;
    };
    QByteArray out("\x00\x00\x01", 3);
    out.append(char(kVopStartCode));
    int written = 0;
    const auto put = [&](int bit) {
        if (written % 8 == 0)
            out.append('\0');
        if (bit)
            out[out.size() - 1] = char(quint8(out.back()) | (0x80 >> (written % 8)));
        ++written;
    };
    put(kVopP >> 1);
    put(kVopP & 1);
    int bit = 1;
    while (bit) // modulo time base: ones ended by a zero
        put(bit = next());
    for (int i = 0; i < 1 + timeIncrementBits + 1; ++i) // marker, time increment, marker
        put(next());
    put(0); // not coded
    put(0); // stuffing: a zero, then ones to the byte boundary
    while (written % 8)
        put(1);
    return out;
}

// DivX-style packing: a reference picture with the first B-frame that follows it in the
// stream in one chunk, every further B-frame in its own chunk, and a placeholder where the
// reference picture is shown; every chunk is then one frame time. The first chunk carries
// DivX's user data ending in "p", which tells decoders the stream is packed.
std::vector<std::pair<QByteArray, bool>> packBFrames(const std::vector<QByteArray> &stream,
                                                     int timeIncrementBits)
{
    std::vector<std::pair<QByteArray, bool>> chunks;
    for (std::size_t i = 0; i < stream.size();) {
        const QByteArray &reference = stream[i];
        const bool key = vopType(reference) == kVopI;
        std::size_t j = i + 1;
        while (j < stream.size() && vopType(stream[j]) == kVopB)
            ++j;
        if (j == i + 1) {
            chunks.emplace_back(reference, key);
        } else {
            chunks.emplace_back(reference + stream[i + 1], key);
            for (std::size_t b = i + 2; b < j; ++b)
                chunks.emplace_back(stream[b], false);
            chunks.emplace_back(notCodedVop(reference, timeIncrementBits), false);
        }
        i = j;
    }
    if (!chunks.empty()) {
        QByteArray &first = chunks.front().first;
        first.insert(vopStart(first), QByteArray("\x00\x00\x01\xb2"
                                                 "DivX503b2001p",
                                                 17));
    }
    return chunks;
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
    case TestCodec::Mpeg4BFrames:
        return "Mpeg4BFrames";
    case TestCodec::H264OpenGop:
        return "H264OpenGop";
    case TestCodec::Mpeg4Packed:
        return "Mpeg4Packed";
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
    case TestCodec::H264OpenGop:
        codec = avcodec_find_encoder_by_name("libx264");
        break;
    case TestCodec::Mpeg4BFrames:
    case TestCodec::Mpeg4Packed:
        codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        break;
    }
    const bool isH264 = recipe.codec == TestCodec::H264 || recipe.codec == TestCodec::H264BFrames ||
                        recipe.codec == TestCodec::H264OpenGop;
    const bool packed = recipe.codec == TestCodec::Mpeg4Packed;
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
    ctx->max_b_frames = recipe.codec == TestCodec::H264BFrames ||
                                recipe.codec == TestCodec::H264OpenGop ||
                                recipe.codec == TestCodec::Mpeg4BFrames || packed
                            ? 2
                            : 0;
    ctx->thread_count = 1;
    if (recipe.codec == TestCodec::MotionJpeg) {
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = FF_QP2LAMBDA * 3;
    }
    if (out->oformat->flags & AVFMT_GLOBALHEADER)
        ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (isH264) {
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "16", 0);
        // A key frame every gopFrames; closed groups of pictures, as a recorder writes, or
        // open ones, as other encoders do.
        av_dict_set(&options, "x264-params",
                    recipe.codec == TestCodec::H264OpenGop ? "scenecut=0:open-gop=1:b-adapt=0"
                                                           : "scenecut=0:open-gop=0",
                    0);
    }
    rc = avcodec_open2(ctx.get(), codec, &options);
    av_dict_free(&options);
    if (rc < 0)
        return avText(rc);
    avcodec_parameters_from_context(stream->codecpar, ctx.get());
    if (packed)
        stream->codecpar->codec_tag = MKTAG('D', 'X', '5', '0');
    stream->time_base = ctx->time_base;
    stream->avg_frame_rate = ctx->framerate;

    if ((rc = avio_open(&out->pb, path.toUtf8().constData(), AVIO_FLAG_WRITE)) < 0)
        return avText(rc);
    if ((rc = avformat_write_header(out.get(), nullptr)) < 0)
        return avText(rc);

    ffmpeg::ScaleContext scale(sws_getContext(recipe.width, recipe.height, AV_PIX_FMT_RGB24,
                                              recipe.width, recipe.height, format, SWS_BILINEAR,
                                              nullptr, nullptr, nullptr));
    ffmpeg::Frame frame(av_frame_alloc());
    ffmpeg::Packet packet(av_packet_alloc());
    frame->format = format;
    frame->width = recipe.width;
    frame->height = recipe.height;
    if ((rc = av_frame_get_buffer(frame.get(), 0)) < 0)
        return avText(rc);

    std::vector<QByteArray> stored; // the encoder's packets, when they are packed at the end
    const auto drain = [&]() -> int {
        for (;;) {
            int r = avcodec_receive_packet(ctx.get(), packet.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return 0;
            if (r < 0)
                return r;
            if (packed) {
                stored.emplace_back(reinterpret_cast<const char *>(packet->data), packet->size);
                av_packet_unref(packet.get());
                continue;
            }
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
    if (packed) {
        // The encoder's VOL header gives the time increment this many bits.
        const int timeBits = av_log2(unsigned(ctx->time_base.den - 1)) + 1;
        auto chunks = packBFrames(stored, timeBits);
        for (int i = 0; i < recipe.placeholdersAtEnd && !stored.empty(); ++i)
            chunks.emplace_back(notCodedVop(stored.back(), timeBits), false);
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            const QByteArray &bytes = chunks[i].first;
            if ((rc = av_new_packet(packet.get(), int(bytes.size()))) < 0)
                return avText(rc);
            std::copy(bytes.begin(), bytes.end(), packet->data);
            packet->pts = packet->dts = av_rescale_q(qint64(i), ctx->time_base, stream->time_base);
            packet->flags = chunks[i].second ? AV_PKT_FLAG_KEY : 0;
            packet->stream_index = stream->index;
            if ((rc = av_interleaved_write_frame(out.get(), packet.get())) < 0)
                return avText(rc);
        }
    }
    if ((rc = av_write_trailer(out.get())) < 0)
        return avText(rc);
    return QString();
}

} // namespace skelvin::test

namespace skelvin::test {

namespace {

struct InputDeleter
{
    void operator()(AVFormatContext *p) const { avformat_close_input(&p); }
};

} // namespace

QList<QImage> referenceFrames(const QString &path, QString *error, QList<int> *storedIn,
                              QList<int> *keyPackets)
{
    const auto failed = [&](const QString &why) {
        *error = why;
        return QList<QImage>();
    };
    AVFormatContext *raw = nullptr;
    int rc = avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr);
    if (rc < 0)
        return failed(avText(rc));
    std::unique_ptr<AVFormatContext, InputDeleter> in(raw);
    if ((rc = avformat_find_stream_info(in.get(), nullptr)) < 0)
        return failed(avText(rc));
    const int stream = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0)
        return failed(avText(stream));
    const AVCodecParameters *parameters = in->streams[stream]->codecpar;
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    ffmpeg::CodecContext ctx(avcodec_alloc_context3(codec));
    if (!codec || !ctx || avcodec_parameters_to_context(ctx.get(), parameters) < 0 ||
        avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return failed(QStringLiteral("no decoder"));

    PictureConverter converter(QSize(parameters->width, parameters->height));
    ffmpeg::Packet packet(av_packet_alloc());
    ffmpeg::Frame frame(av_frame_alloc());
    QList<QImage> frames;
    QList<int> packets;
    QList<int> keys;
    std::map<qint64, int> packetAt; // byte position -> packet index
    qint64 first = AV_NOPTS_VALUE;
    qint64 last = AV_NOPTS_VALUE;
    const auto receive = [&] {
        while (avcodec_receive_frame(ctx.get(), frame.get()) == 0) {
            qint64 time = frame->best_effort_timestamp;
            if (time == AV_NOPTS_VALUE || (last != AV_NOPTS_VALUE && time <= last))
                time = last == AV_NOPTS_VALUE ? 0 : last + 1;
            if (first == AV_NOPTS_VALUE)
                first = time;
            last = time;
            while (frames.size() < time - first) {
                frames.append(frames.back()); // a frame time without a picture
                packets.append(packets.back());
            }
            frames.append(converter.convert(*frame));
            const auto at = packetAt.find(frame->pkt_pos);
            packets.append(at == packetAt.end() ? -1 : at->second);
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(in.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            const int index = int(packetAt.size());
            packetAt[packet->pos] = index;
            if (packet->flags & AV_PKT_FLAG_KEY)
                keys.append(index);
            avcodec_send_packet(ctx.get(), packet.get());
        }
        av_packet_unref(packet.get());
        receive();
    }
    avcodec_send_packet(ctx.get(), nullptr);
    receive();
    if (storedIn)
        *storedIn = packets;
    if (keyPackets)
        *keyPackets = keys;
    return frames;
}

} // namespace skelvin::test
