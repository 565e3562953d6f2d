#include "core/frames/VideoDecoder.h"

#include <QThread>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>

namespace skelvin {

namespace {

// A longer run of missing frames is damage, not frames a recorder dropped.
constexpr qint64 kMaxDroppedRun = 1000;

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// The full-range "J" formats of Motion JPEG are the plain formats with a full colour range.
AVPixelFormat plainFormat(AVPixelFormat format, bool *fullRange)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        *fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        *fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        *fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        *fullRange = true;
        return AV_PIX_FMT_YUV440P;
    default:
        return format;
    }
}

} // namespace

VideoDecoder::~VideoDecoder() = default;

std::unique_ptr<VideoDecoder> VideoDecoder::open(const QString &path, OpenFailure *failure)
{
    const auto fail = [&](OpenError kind, const QString &detail) {
        if (failure)
            *failure = {kind, detail};
        return std::unique_ptr<VideoDecoder>();
    };
    std::unique_ptr<VideoDecoder> d(new VideoDecoder);

    AVFormatContext *format = nullptr;
    int rc = avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr);
    if (rc < 0)
        return fail(OpenError::File, errorText(rc));
    d->m_format.reset(format);
    rc = avformat_find_stream_info(format, nullptr);
    if (rc < 0)
        return fail(OpenError::File, errorText(rc));
    // The first video stream, as the file lists them.
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            d->m_stream = int(i);
            break;
        }
    }
    if (d->m_stream < 0)
        return fail(OpenError::File, QStringLiteral("the file holds no video stream"));
    for (unsigned i = 0; i < format->nb_streams; ++i)
        format->streams[i]->discard = int(i) == d->m_stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    const AVStream *stream = format->streams[d->m_stream];
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return fail(OpenError::NoDecoder,
                    QStringLiteral("no decoder for %1")
                        .arg(QString::fromUtf8(avcodec_get_name(stream->codecpar->codec_id))));
    d->m_codec.reset(avcodec_alloc_context3(codec));
    d->m_packet.reset(av_packet_alloc());
    d->m_frame.reset(av_frame_alloc());
    if (!d->m_codec || !d->m_packet || !d->m_frame)
        return fail(OpenError::File, errorText(AVERROR(ENOMEM)));
    rc = avcodec_parameters_to_context(d->m_codec.get(), stream->codecpar);
    if (rc >= 0) {
        // Inter-frame video is decoded in runs (from a key frame to the frame asked for, and
        // ahead of the position), so frame threads pay. An intra-only frame is decoded alone
        // and gains only from slice threads.
        const AVCodecDescriptor *descriptor = avcodec_descriptor_get(codec->id);
        const bool intraOnly = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
        if (!intraOnly && (codec->capabilities & AV_CODEC_CAP_FRAME_THREADS)) {
            d->m_codec->thread_type = FF_THREAD_FRAME;
            d->m_codec->thread_count = std::clamp(QThread::idealThreadCount(), 1, 4);
        } else {
            d->m_codec->thread_type = FF_THREAD_SLICE;
            d->m_codec->thread_count = 0;
        }
        rc = avcodec_open2(d->m_codec.get(), codec, nullptr);
    }
    if (rc < 0)
        return fail(OpenError::NoDecoder, errorText(rc));

    d->m_size = QSize(stream->codecpar->width, stream->codecpar->height);
    if (d->m_size.isEmpty())
        return fail(OpenError::NoDecoder, QStringLiteral("the video has no picture size"));
    const AVRational rate =
        stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : av_inv_q(stream->time_base);
    d->m_frameRate = rate.den > 0 ? av_q2d(rate) : 0;

    if (!d->buildFrameTable())
        return fail(OpenError::File, QStringLiteral("the video's packets do not read"));
    if (d->m_table.empty())
        return fail(OpenError::File, QStringLiteral("the video holds no frames"));
    return d;
}

QString VideoDecoder::codecName() const
{
    return QString::fromUtf8(avcodec_get_name(m_codec->codec_id));
}

bool VideoDecoder::buildFrameTable()
{
    const bool countsChunks = QByteArray(m_format->iformat->name) == "avi";
    for (;;) {
        const int rc = readVideoPacket();
        if (rc == AVERROR_EOF)
            break;
        if (rc < 0) {
            // A file cut short mid-packet still plays up to the damage.
            if (!m_table.empty())
                break;
            return false;
        }
        // An AVI file keeps a dropped frame as an empty chunk, which the demuxer passes over;
        // its packets' times count chunks, so a gap in them is that many dropped frames.
        if (countsChunks && !m_table.empty() && m_packet->dts != AV_NOPTS_VALUE &&
            m_table.back().dts != AV_NOPTS_VALUE) {
            const qint64 gap = m_packet->dts - m_table.back().dts - 1;
            for (qint64 i = 1; i <= gap && i <= kMaxDroppedRun; ++i) {
                Entry dropped;
                dropped.dts = m_table.back().dts + 1;
                dropped.empty = true;
                dropped.inFile = false;
                m_table.push_back(dropped);
            }
        }
        Entry e;
        e.pos = m_packet->pos;
        e.dts = m_packet->dts;
        e.key = (m_packet->flags & AV_PKT_FLAG_KEY) != 0;
        e.empty = m_packet->size == 0;
        e.corrupt = (m_packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
        m_table.push_back(e);
        av_packet_unref(m_packet.get());
    }
    m_packetPending = false;
    // A frame cut short by the end of the file is not a frame.
    while (!m_table.empty() && m_table.back().corrupt)
        m_table.pop_back();
    // The first frame decodes from the start of the file whatever its flag says.
    if (!m_table.empty())
        m_table.front().key = true;
    return true;
}

int VideoDecoder::keyFrameAtOrBefore(int frame) const
{
    for (int i = std::min(frame, frameCount() - 1); i > 0; --i) {
        if (m_table[std::size_t(i)].key && !m_table[std::size_t(i)].empty)
            return i;
    }
    return 0;
}

bool VideoDecoder::isTablePacket(const AVPacket &packet, int index) const
{
    const Entry &e = m_table[std::size_t(index)];
    if (e.pos >= 0 && packet.pos >= 0)
        return packet.pos == e.pos;
    return packet.dts == e.dts;
}

int VideoDecoder::readVideoPacket()
{
    if (m_packetPending) {
        m_packetPending = false;
        return 0;
    }
    for (;;) {
        av_packet_unref(m_packet.get());
        const int rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0)
            return rc;
        if (m_packet->stream_index == m_stream)
            return 0;
    }
}

Failure VideoDecoder::seekToKey(int key)
{
    avcodec_flush_buffers(m_codec.get());
    m_drained = false;
    m_nextDisplay = -1;
    m_packetPending = false;
    const Entry &e = m_table[std::size_t(key)];
    if (e.dts != AV_NOPTS_VALUE &&
        av_seek_frame(m_format.get(), m_stream, e.dts, AVSEEK_FLAG_BACKWARD) >= 0 &&
        readVideoPacket() == 0) {
        // The demuxer's index may land before the key frame (then read on to it) or
        // somewhere else entirely (then start over from the beginning).
        for (int steps = 0; steps <= key + 1; ++steps) {
            if (isTablePacket(*m_packet, key)) {
                m_packetPending = true;
                break;
            }
            if ((e.pos >= 0 && m_packet->pos > e.pos) || readVideoPacket() != 0)
                break;
        }
    }
    if (!m_packetPending) {
        if (const Failure failed = rewindTo(key))
            return failed;
    }
    m_nextPacket = key;
    m_nextDisplay = key;
    m_seekKey = key;
    return std::nullopt;
}

Failure VideoDecoder::rewindTo(int key)
{
    const Entry &first = m_table.front();
    int rc = av_seek_frame(m_format.get(), m_stream, first.dts == AV_NOPTS_VALUE ? 0 : first.dts,
                           AVSEEK_FLAG_BACKWARD);
    if (rc < 0)
        rc = avformat_seek_file(m_format.get(), -1, INT64_MIN, 0, 0, 0);
    if (rc < 0)
        return QStringLiteral("the file does not seek: %1").arg(errorText(rc));
    while (readVideoPacket() == 0) {
        if (isTablePacket(*m_packet, key)) {
            m_packetPending = true;
            return std::nullopt;
        }
    }
    return QStringLiteral("frame %1 is no longer where the file's table put it").arg(key);
}

Failure VideoDecoder::sendNextPacket()
{
    if (m_nextPacket >= frameCount()) {
        if (m_drained)
            return QStringLiteral("the video ended early");
        m_drained = true;
        avcodec_send_packet(m_codec.get(), nullptr);
        return std::nullopt;
    }
    const int rc = readVideoPacket();
    if (rc < 0) {
        // Packets the table saw but the file no longer gives (it shrank): end here.
        m_nextPacket = frameCount();
        return std::nullopt;
    }
    const int index = m_nextPacket++;
    while (m_nextPacket < frameCount() && !m_table[std::size_t(m_nextPacket)].inFile)
        ++m_nextPacket; // dropped frames the file holds no packet for
    if (m_packet->size == 0)
        return std::nullopt; // a dropped frame: nothing to decode
    m_packet->pts = index;
    m_packet->dts = index;
    // A packet that does not decode is passed over; the checks below notice the lost picture.
    avcodec_send_packet(m_codec.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    return std::nullopt;
}

Result<QImage> VideoDecoder::decodeFrame(int frame, const FrameSink *sink)
{
    using R = Result<QImage>;
    if (frame < 0 || frame >= frameCount())
        return R::failure(QStringLiteral("frame %1 is outside the video (frames 0 to %2)")
                              .arg(frame)
                              .arg(frameCount() - 1));
    const int key = keyFrameAtOrBefore(frame);
    if (m_nextDisplay < 0 || frame < m_nextDisplay || key > m_nextDisplay) {
        if (const Failure failed = seekToKey(key))
            return R::failure(*failed);
    }

    QImage result;
    for (;;) {
        const int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == AVERROR(EAGAIN)) {
            if (sink && sink->cancelled && sink->cancelled())
                return R::failure(QStringLiteral("cancelled"));
            if (const Failure failed = sendNextPacket())
                return R::failure(
                    QStringLiteral("frame %1 did not decode: %2").arg(frame).arg(*failed));
            continue;
        }
        if (rc == AVERROR_EOF && m_seekKey > 0) {
            // Nothing came out of the key frame: it was not one (a file without an index
            // can flag every frame as a key). Remember that and start one key earlier.
            if (const Failure failed = startEarlier(true))
                return R::failure(*failed);
            continue;
        }
        if (rc < 0) {
            m_nextDisplay = -1;
            return R::failure(QStringLiteral("frame %1 did not decode: %2")
                                  .arg(frame)
                                  .arg(rc == AVERROR_EOF ? QStringLiteral("the video ended early")
                                                         : errorText(rc)));
        }

        const qint64 tag = m_frame->pts;
        if (m_seekKey >= 0) {
            // After a seek the key frame must be the first picture shown. A later picture
            // first means the key frame did not decode on its own; an earlier one, that its
            // group of pictures leans on the one before. Either way start one key earlier.
            // A key frame that decodes to a picture that is not a key picture was flagged
            // wrongly (without an index some files flag every frame).
            const bool keyPicture = m_frame->key_frame != 0;
            if (m_seekKey > 0 && ((tag != AV_NOPTS_VALUE && tag != m_seekKey) || !keyPicture)) {
                av_frame_unref(m_frame.get());
                if (const Failure failed = startEarlier(tag > m_seekKey || !keyPicture))
                    return R::failure(*failed);
                continue;
            }
            m_seekKey = -1;
        } else if (m_codec->has_b_frames == 0 && tag != AV_NOPTS_VALUE && tag > m_nextDisplay &&
                   tag < frameCount()) {
            m_nextDisplay = int(tag); // pictures before this one were lost in decoding
        }
        if (m_nextDisplay > frame) {
            av_frame_unref(m_frame.get());
            m_nextDisplay = -1;
            return R::failure(QStringLiteral("frame %1 did not decode").arg(frame));
        }

        // This picture, then the dropped frames that repeat it.
        const int shown = m_nextDisplay;
        int last = shown;
        while (last + 1 < frameCount() && m_table[std::size_t(last + 1)].empty)
            ++last;
        QImage image;
        for (int i = shown; i <= last; ++i) {
            const bool wanted = i == frame || (sink && sink->wants && sink->wants(i));
            if (wanted && image.isNull())
                image = toImage(*m_frame);
            if (i == frame)
                result = image;
            else if (wanted && sink->take)
                sink->take(i, image);
        }
        av_frame_unref(m_frame.get());
        m_nextDisplay = last + 1;
        if (!result.isNull())
            return result;
        if (frame <= last) // the picture did not convert
            return R::failure(QStringLiteral("frame %1 did not convert").arg(frame));
    }
}

void VideoDecoder::recycle(QImage image)
{
    if (int(m_spareImages.size()) < kSpareImages && image.isDetached() && image.size() == m_size &&
        image.format() == QImage::Format_BGR888)
        m_spareImages.push_back(std::move(image));
}

Failure VideoDecoder::startEarlier(bool notAKey)
{
    const int key = m_seekKey;
    if (notAKey)
        m_table[std::size_t(key)].key = false;
    return seekToKey(keyFrameAtOrBefore(key - 1));
}

QImage VideoDecoder::toImage(const AVFrame &frame)
{
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = plainFormat(AVPixelFormat(frame.format), &fullRange);
    SwsContext *previous = m_scale.get();
    m_scale.reset(sws_getCachedContext(m_scale.release(), frame.width, frame.height, source,
                                       m_size.width(), m_size.height(), AV_PIX_FMT_BGR24,
                                       SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_scale)
        return {};
    const int colourSpace = frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    if (m_scale.get() != previous || colourSpace != m_scaleColourSpace ||
        fullRange != m_scaleFullRange) {
        m_scaleColourSpace = colourSpace;
        m_scaleFullRange = fullRange;
        sws_setColorspaceDetails(m_scale.get(), sws_getCoefficients(colourSpace), fullRange ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    QImage image;
    if (!m_spareImages.empty()) {
        image = std::move(m_spareImages.back());
        m_spareImages.pop_back();
    } else {
        image = QImage(m_size, QImage::Format_BGR888);
    }
    if (image.isNull())
        return {};
    uint8_t *dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_scale.get(), frame.data, frame.linesize, 0, frame.height, dst, dstStride) !=
        m_size.height())
        return {};
    return image;
}

} // namespace skelvin
