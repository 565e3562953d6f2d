#include "core/frames/VideoDecoder.h"

#include "core/frames/FfmpegLog.h"

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
// More pictures than this before a key frame's picture after a seek are not the leading
// pictures of an open group of pictures: the key frame is not one.
constexpr int kMaxLeadingPictures = 16;

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

VideoDecoder::~VideoDecoder() = default;

std::unique_ptr<VideoDecoder> VideoDecoder::failed(OpenFailure *failure, OpenError kind,
                                                   const QString &detail)
{
    if (failure)
        *failure = {kind, detail};
    return {};
}

std::unique_ptr<VideoDecoder> VideoDecoder::open(const QString &path, OpenFailure *failure)
{
    const auto fail = [&](OpenError kind, const QString &detail) {
        return failed(failure, kind, detail);
    };
    FfmpegLog::install(); // FFmpeg's messages go to the debug log, never to the terminal
    std::unique_ptr<VideoDecoder> d(new VideoDecoder);

    AVFormatContext *format = nullptr;
    const int rc = avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr);
    if (rc < 0)
        return fail(OpenError::File, errorText(rc));
    d->m_format.reset(format);
    return openStreams(std::move(d), failure);
}

std::unique_ptr<VideoDecoder> VideoDecoder::openBytes(QByteArray bytes, OpenFailure *failure)
{
    const auto fail = [&](const QString &detail) {
        return failed(failure, OpenError::File, detail);
    };
    FfmpegLog::install();
    std::unique_ptr<VideoDecoder> d(new VideoDecoder);
    d->m_memory = std::make_unique<MemoryInput>(std::move(bytes));
    AVFormatContext *format = avformat_alloc_context();
    if (!format || !d->m_memory->context()) {
        avformat_free_context(format);
        return fail(errorText(AVERROR(ENOMEM)));
    }
    format->pb = d->m_memory->context();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context itself.
    const int rc = avformat_open_input(&format, nullptr, nullptr, nullptr);
    if (rc < 0)
        return fail(errorText(rc));
    d->m_format.reset(format);
    return openStreams(std::move(d), failure);
}

std::unique_ptr<VideoDecoder> VideoDecoder::openStreams(std::unique_ptr<VideoDecoder> d,
                                                        OpenFailure *failure)
{
    const auto fail = [&](OpenError kind, const QString &detail) {
        return failed(failure, kind, detail);
    };
    AVFormatContext *format = d->m_format.get();
    int rc = avformat_find_stream_info(format, nullptr);
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
    if (!d->buildFrameTable())
        return fail(OpenError::File, QStringLiteral("the video's packets do not read"));
    if (d->m_table.empty())
        return fail(OpenError::File, QStringLiteral("the video holds no frames"));

    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(codec->id);
    const bool intraOnly = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
    rc = avcodec_parameters_to_context(d->m_codec.get(), stream->codecpar);
    if (rc >= 0) {
        // Inter-frame video is decoded in runs (from a key frame to the frame asked for, and
        // ahead of the position), so frame threads pay. An intra-only frame is decoded alone
        // and gains only from slice threads.
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
    // Intra-only video and video without B-frames shows its pictures in the order stored, so
    // no key frame has leading pictures. A stream found reordering later is learnt then.
    d->m_reorders =
        !intraOnly && (stream->codecpar->video_delay > 0 || d->m_codec->has_b_frames > 0);
    d->forgetLeadingPictures();
    d->m_converter = std::make_unique<PictureConverter>(d->m_size);
    d->primeWithFirstPicture();
    const AVRational rate =
        stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : av_inv_q(stream->time_base);
    d->m_frameRate = rate.den > 0 ? av_q2d(rate) : 0;
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
    // The first frame decodes from the start of the file whatever its flag says, and nothing
    // is shown before it.
    if (!m_table.empty())
        m_table.front().key = true;
    return true;
}

void VideoDecoder::primeWithFirstPicture()
{
    // Some streams say things once, in their first picture, that the decoder keeps for good:
    // the DivX note that B-frames are packed, headers a recorder writes only at the start. A
    // decode that starts at a later key frame needs them too.
    if (!seekToKey(0) && !sendNextPacket()) {
        while (avcodec_receive_frame(m_codec.get(), m_frame.get()) == 0)
            av_frame_unref(m_frame.get());
    }
    avcodec_flush_buffers(m_codec.get());
    av_packet_unref(m_packet.get());
    m_packetPending = false;
    m_drained = false;
    m_awaitingKey = false;
    m_runKey = -1;
    m_nextDisplay = -1;
}

void VideoDecoder::forgetLeadingPictures()
{
    for (Entry &e : m_table)
        e.leading = m_reorders ? -1 : 0;
    if (!m_table.empty())
        m_table.front().leading = 0;
}

int VideoDecoder::keyIndexAtOrBefore(int index) const
{
    for (int i = std::min(index, frameCount() - 1); i > 0; --i) {
        if (m_table[std::size_t(i)].key && !m_table[std::size_t(i)].empty)
            return i;
    }
    return 0;
}

int VideoDecoder::keyFrameAtOrBefore(int frame) const
{
    // A key frame's picture is shown at or after its table index, so only key frames stored
    // at or before the frame can start it.
    for (int key = keyIndexAtOrBefore(frame); key > 0; key = keyIndexAtOrBefore(key - 1)) {
        const int leading = m_table[std::size_t(key)].leading;
        if (leading >= 0 && key + leading <= frame)
            return key + leading;
    }
    return 0;
}

Failure VideoDecoder::startRun(int frame, int below)
{
    // The latest key frame whose picture is shown at or before the frame. One whose leading
    // pictures are not known yet is decoded across from the key frame before it, which
    // learns them on the way.
    for (int key = keyIndexAtOrBefore(std::min(frame, below - 1)); key > 0;
         key = keyIndexAtOrBefore(key - 1)) {
        const int leading = m_table[std::size_t(key)].leading;
        if (leading < 0)
            return seekToKey(keyIndexAtOrBefore(key - 1));
        if (key + leading <= frame)
            return seekToKey(key);
    }
    if (below <= 0)
        return QStringLiteral("no key frame before it decodes");
    return seekToKey(0);
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
    m_nextDisplay = -1;
    m_runKey = key;
    m_awaitingKey = true;
    m_passedOver = 0;
    m_pendingKeys.clear();
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
    if (index != m_runKey && m_table[std::size_t(index)].key)
        m_pendingKeys.push_back({index, 0});
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

bool VideoDecoder::learnFromPicture(qint64 tag, bool keyPicture, bool *keyWasWrong)
{
    // Pictures stored after a pending key frame that come out before its picture are its
    // leading pictures; its picture then fixes the frame it is shown at.
    bool anchored = false;
    for (auto it = m_pendingKeys.begin(); it != m_pendingKeys.end();) {
        if (tag > it->key) {
            ++it->leading;
            ++it;
            continue;
        }
        if (tag < it->key) {
            ++it;
            continue;
        }
        Entry &e = m_table[std::size_t(it->key)];
        if (!keyPicture) {
            e.key = false;
            *keyWasWrong = true;
        } else {
            if (e.leading < 0)
                e.leading = it->leading;
            const int shownAt = it->key + e.leading;
            if (m_nextDisplay < 0) {
                m_nextDisplay = shownAt;
                anchored = true;
            } else if (shownAt > m_nextDisplay) {
                m_nextDisplay = shownAt; // pictures before it were lost in decoding
            }
        }
        it = m_pendingKeys.erase(it);
    }
    return anchored;
}

Result<QImage> VideoDecoder::decodeFrame(int frame, const FrameSink *sink)
{
    using R = Result<QImage>;
    if (frame < 0 || frame >= frameCount())
        return R::failure(QStringLiteral("frame %1 is outside the video (frames 0 to %2)")
                              .arg(frame)
                              .arg(frameCount() - 1));
    const auto fail = [&](const QString &why) {
        m_nextDisplay = -1;
        m_awaitingKey = false;
        return R::failure(QStringLiteral("frame %1 did not decode: %2").arg(frame).arg(why));
    };
    if (m_awaitingKey || m_nextDisplay < 0 || frame < m_nextDisplay ||
        keyFrameAtOrBefore(frame) > m_nextDisplay) {
        if (const Failure failed = startRun(frame, frameCount()))
            return fail(*failed);
    }

    // Every restart learns something (leading pictures, a key frame that is not one, an
    // earlier start), so this bound is never reached by a readable file.
    int restarts = 0;
    bool retriedEarlier = false;
    const auto restart = [&](int below) -> Failure {
        if (++restarts > frameCount() + 2)
            return QStringLiteral("its key frame was not found");
        return startRun(frame, below);
    };

    QImage result;
    for (;;) {
        const int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == AVERROR(EAGAIN)) {
            if (sink && sink->cancelled && sink->cancelled())
                return R::failure(QStringLiteral("cancelled"));
            if (const Failure failed = sendNextPacket())
                return fail(*failed);
            continue;
        }
        if (rc == AVERROR_EOF && m_awaitingKey && m_runKey > 0) {
            // Nothing came out of the key frame: it was not one (a file without an index
            // can flag every frame as a key). Remember that and start one key earlier.
            m_table[std::size_t(m_runKey)].key = false;
            if (const Failure failed = restart(m_runKey))
                return fail(*failed);
            continue;
        }
        if (rc == AVERROR_EOF && m_runKey > 0 && !retriedEarlier) {
            // The pictures ran out before the frame. Decoding from a later key frame of an
            // open group of pictures can lose the last stored pictures at the end of the file
            // (FFmpeg's H.264 decoder does so), while a decode from the key frame before it
            // reaches them: try that once.
            retriedEarlier = true;
            if (const Failure failed = restart(m_runKey))
                return fail(*failed);
            continue;
        }
        if (rc == AVERROR_EOF && !m_awaitingKey && m_nextDisplay > 0 && m_nextDisplay <= frame &&
            !m_table[std::size_t(m_nextDisplay)].empty) {
            // Every packet went in and the pictures ended before the frame: the frames left
            // have none of their own (a DivX-style writer that cannot flush its encoder ends
            // the file with placeholders for frames it never coded). They show the last
            // picture, as a dropped frame shows the one before it.
            for (std::size_t i = std::size_t(m_nextDisplay); i < m_table.size(); ++i)
                m_table[i].empty = true;
            if (const Failure failed = restart(frameCount()))
                return fail(*failed);
            continue;
        }
        if (rc < 0)
            return fail(rc == AVERROR_EOF ? QStringLiteral("the video ended early")
                                          : errorText(rc));

        const qint64 tag = m_frame->pts;
        const bool keyPicture = m_frame->key_frame != 0;
        if (!m_reorders && m_codec->has_b_frames > 0) {
            // B-frames after all: what was assumed about key frames no longer holds.
            av_frame_unref(m_frame.get());
            m_reorders = true;
            forgetLeadingPictures();
            if (const Failure failed = restart(frameCount()))
                return fail(*failed);
            continue;
        }
        if (m_awaitingKey) {
            if (m_runKey == 0 || (tag == m_runKey && keyPicture)) {
                m_awaitingKey = false;
                const int leading = m_table[std::size_t(m_runKey)].leading;
                m_nextDisplay = leading >= 0 ? m_runKey + leading : -1;
            } else if (tag > m_runKey && !keyPicture && m_reorders &&
                       ++m_passedOver <= kMaxLeadingPictures) {
                av_frame_unref(m_frame.get()); // a leading picture, shown broken
                continue;
            } else {
                // A later picture first means the key frame did not decode on its own; an
                // earlier one, that its group of pictures leans on the one before. A key
                // frame that decodes to a picture that is not a key picture was flagged
                // wrongly. Either way start one key earlier.
                av_frame_unref(m_frame.get());
                if (tag >= m_runKey)
                    m_table[std::size_t(m_runKey)].key = false;
                if (const Failure failed = restart(m_runKey))
                    return fail(*failed);
                continue;
            }
        } else {
            bool keyWasWrong = false;
            const bool anchored = learnFromPicture(tag, keyPicture, &keyWasWrong);
            if ((anchored && m_nextDisplay > frame) ||
                (keyWasWrong && m_nextDisplay < 0 && m_pendingKeys.empty())) {
                // The frame is a leading picture of the key frame just learnt, or the key
                // frame this run was to learn is not one: choose the start again.
                av_frame_unref(m_frame.get());
                if (const Failure failed = restart(frameCount()))
                    return fail(*failed);
                continue;
            }
            if (!m_reorders && m_codec->has_b_frames == 0 && tag != AV_NOPTS_VALUE &&
                tag > m_nextDisplay && tag < frameCount())
                m_nextDisplay = int(tag); // pictures before this one were lost in decoding
        }
        if (m_nextDisplay < 0) {
            // Decoding across a key frame to learn its leading pictures: the frames of these
            // pictures are not known yet.
            av_frame_unref(m_frame.get());
            continue;
        }
        if (m_nextDisplay > frame) {
            av_frame_unref(m_frame.get());
            return fail(QStringLiteral("its picture was lost"));
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

QImage VideoDecoder::toImage(const AVFrame &frame)
{
    QImage target;
    if (!m_spareImages.empty()) {
        target = std::move(m_spareImages.back());
        m_spareImages.pop_back();
    }
    return m_converter->convert(frame, std::move(target));
}

} // namespace skelvin
