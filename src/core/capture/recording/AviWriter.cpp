#include "core/capture/recording/AviWriter.h"

#include "core/common/FileFaults.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace skelvin {

namespace {

// The AVI muxer starts an OpenDML part ("AVIX") when the current RIFF passes this size; up to
// it the first RIFF list is still open and its sizes are ours to keep current.
constexpr qint64 kFirstRiffBytes = qint64(1) << 30;
constexpr int kIoBufferBytes = 256 * 1024;

std::uint32_t fourCc(const char *text)
{
    return qFromLittleEndian<quint32>(text);
}

} // namespace

AviWriter::~AviWriter()
{
    if (!m_finished)
        finish();
}

Result<std::unique_ptr<AviWriter>> AviWriter::create(const QString &path, const AviStreams &streams,
                                                     qint64 byteLimit)
{
    std::unique_ptr<AviWriter> writer(new AviWriter);
    if (const Failure failed = writer->open(path, streams, byteLimit)) {
        writer->m_finished = true;
        if (writer->m_fd >= 0)
            ::close(writer->m_fd);
        writer->m_fd = -1;
        return Result<std::unique_ptr<AviWriter>>::failure(*failed);
    }
    return writer;
}

Failure AviWriter::open(const QString &path, const AviStreams &streams, qint64 byteLimit)
{
    m_path = path;
    m_byteLimit = byteLimit;
    if (const int refused = FileFaults::openError(path))
        return ffmpeg::errorText(AVERROR(refused));
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return ffmpeg::errorText(AVERROR(errno));

    AVFormatContext *raw = nullptr;
    int rc = avformat_alloc_output_context2(&raw, nullptr, "avi", nullptr);
    if (rc < 0)
        return ffmpeg::errorText(rc);
    m_format.reset(raw);
    auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferBytes));
    if (!buffer)
        return ffmpeg::errorText(AVERROR(ENOMEM));
    m_io.reset(avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, &AviWriter::writeBytes,
                                  &AviWriter::seekTo));
    if (!m_io) {
        av_free(buffer);
        return ffmpeg::errorText(AVERROR(ENOMEM));
    }
    m_io->seekable = AVIO_SEEKABLE_NORMAL;
    m_format->pb = m_io.get();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;

    m_video = avformat_new_stream(m_format.get(), nullptr);
    if (!m_video || (rc = avcodec_parameters_copy(m_video->codecpar, streams.video)) < 0)
        return ffmpeg::errorText(m_video ? rc : AVERROR(ENOMEM));
    m_video->codecpar->codec_tag = 0;
    m_video->time_base = av_inv_q(streams.frameRate);
    m_video->avg_frame_rate = streams.frameRate;
    m_video->r_frame_rate = streams.frameRate;
    if (streams.video->codec_id == AV_CODEC_ID_RAWVIDEO) {
        // Rows bottom-up with a positive height, as 24-bit bitmaps and AVI readers expect.
        av_opt_set_int(m_format->priv_data, "flipped_raw_rgb", 1, 0);
    }

    if (streams.soundSampleRate > 0) {
        m_sound = avformat_new_stream(m_format.get(), nullptr);
        if (!m_sound)
            return ffmpeg::errorText(AVERROR(ENOMEM));
        AVCodecParameters &p = *m_sound->codecpar;
        p.codec_type = AVMEDIA_TYPE_AUDIO;
        p.codec_id = streams.soundBitsPerSample == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
        p.sample_rate = streams.soundSampleRate;
        av_channel_layout_default(&p.ch_layout, streams.soundChannels);
        p.bits_per_coded_sample = streams.soundBitsPerSample;
        m_soundBlockAlign = streams.soundChannels * streams.soundBitsPerSample / 8;
        p.block_align = m_soundBlockAlign;
        p.bit_rate = int64_t(streams.soundSampleRate) * m_soundBlockAlign * 8;
        m_sound->time_base = AVRational{1, streams.soundSampleRate};
    }

    rc = avformat_write_header(m_format.get(), nullptr);
    if (rc < 0)
        return m_writeError ? ffmpeg::errorText(m_writeError) : ffmpeg::errorText(rc);
    avio_flush(m_io.get());
    if (m_io->error < 0)
        return ffmpeg::errorText(m_io->error);
    m_wholeEnd = m_fileEnd;
    findHeaderFields();

    m_empty.reset(av_packet_alloc());
    if (!m_empty)
        return ffmpeg::errorText(AVERROR(ENOMEM));
    return std::nullopt;
}

int AviWriter::writeBytes(void *opaque, uint8_t *data, int size)
{
    auto *self = static_cast<AviWriter *>(opaque);
    if (self->m_writeError)
        return self->m_writeError;
    int allowed = size;
    if (self->m_byteLimit >= 0)
        allowed = int(std::clamp<qint64>(self->m_byteLimit - self->m_position, 0, size));
    // Only bytes past the file's end take room on the disk.
    const qint64 growth = std::max<qint64>(0, self->m_position + allowed - self->m_fileEnd);
    if (growth > 0)
        allowed -= int(growth - FileFaults::writable(self->m_path, growth));
    int done = 0;
    while (done < allowed) {
        const ssize_t n =
            ::pwrite(self->m_fd, data + done, std::size_t(allowed - done), off_t(self->m_position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            self->m_writeError = AVERROR(n < 0 ? errno : EIO);
            return self->m_writeError;
        }
        done += int(n);
        self->m_position += n;
        self->m_fileEnd = std::max(self->m_fileEnd, self->m_position);
    }
    if (allowed < size) {
        self->m_writeError = AVERROR(ENOSPC);
        return self->m_writeError;
    }
    return size;
}

int64_t AviWriter::seekTo(void *opaque, int64_t offset, int whence)
{
    auto *self = static_cast<AviWriter *>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
        self->m_position = offset;
        return offset;
    case SEEK_CUR:
        self->m_position += offset;
        return self->m_position;
    case SEEK_END:
        self->m_position = self->m_fileEnd + offset;
        return self->m_position;
    case AVSEEK_SIZE:
        return self->m_fileEnd;
    default:
        return AVERROR(EINVAL);
    }
}

void AviWriter::findHeaderFields()
{
    // The header is in the file now; read it back and note where the counts live.
    QByteArray header(int(m_fileEnd), Qt::Uninitialized);
    if (::pread(m_fd, header.data(), std::size_t(header.size()), 0) != header.size())
        return;
    auto u32 = [&](qint64 at) {
        return at + 4 <= header.size() ? fourCc(header.constData() + at) : 0u;
    };
    bool sawVideo = false;
    // Walks a list's chunks from `pos` to `end`, descending into the header lists.
    auto walk = [&](auto &&self, qint64 pos, qint64 end) -> void {
        while (pos + 8 <= end) {
            const std::uint32_t id = u32(pos);
            const qint64 size = u32(pos + 4);
            const qint64 data = pos + 8;
            if (id == fourCc("LIST")) {
                const std::uint32_t type = u32(data);
                if (type == fourCc("movi")) {
                    m_moviSizeAt = pos + 4;
                    return;
                }
                if (type == fourCc("hdrl") || type == fourCc("strl") || type == fourCc("odml"))
                    self(self, data + 4, std::min(data + size, end));
            } else if (id == fourCc("avih")) {
                m_avihFramesAt = data + 16;
            } else if (id == fourCc("strh") && !sawVideo && u32(data) == fourCc("vids")) {
                sawVideo = true;
                m_strhLengthAt = data + 32;
            } else if (id == fourCc("dmlh")) {
                m_dmlhFramesAt = data;
            }
            pos = data + size + (size & 1);
        }
    };
    walk(walk, 12, header.size());
}

void AviWriter::patch32(qint64 offset, std::uint32_t value)
{
    if (offset < 0 || offset + 4 > m_fileEnd)
        return;
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    // Straight to the file: these bytes left the muxer's buffer long ago.
    [[maybe_unused]] const ssize_t n = ::pwrite(m_fd, bytes, 4, off_t(offset));
}

void AviWriter::patchHeader()
{
    if (m_fd < 0)
        return;
    const auto frames = std::uint32_t(std::min<int64_t>(m_slots, UINT32_MAX));
    patch32(m_avihFramesAt, frames);
    patch32(m_strhLengthAt, frames);
    patch32(m_dmlhFramesAt, frames);
    if (m_wholeEnd <= kFirstRiffBytes) {
        patch32(m_riffSizeAt, std::uint32_t(m_wholeEnd - 8));
        if (m_moviSizeAt >= 0)
            patch32(m_moviSizeAt, std::uint32_t(m_wholeEnd - (m_moviSizeAt + 4)));
    }
}

void AviWriter::keepHeaderCurrent()
{
    if (m_error || m_finished)
        return;
    avio_flush(m_io.get());
    if (m_io->error < 0) {
        fail(m_io->error);
        return;
    }
    patchHeader();
}

Failure AviWriter::fail(int code)
{
    if (!m_error)
        m_error = ffmpeg::errorText(m_writeError ? m_writeError : code);
    return m_error;
}

Failure AviWriter::writePacket(AVPacket &packet)
{
    if (m_error)
        return m_error;
    int rc = av_write_frame(m_format.get(), &packet);
    if (rc >= 0) {
        avio_flush(m_io.get());
        rc = m_io->error;
    }
    if (rc < 0)
        return fail(rc);
    m_wholeEnd = m_fileEnd;
    return std::nullopt;
}

Failure AviWriter::writeEmptyUpTo(int64_t slot)
{
    while (m_slots <= slot) {
        av_packet_unref(m_empty.get());
        m_empty->stream_index = m_video->index;
        m_empty->pts = m_empty->dts =
            av_rescale_q(m_slots, av_inv_q(m_video->avg_frame_rate), m_video->time_base);
        m_empty->duration = 1;
        if (const Failure failed = writePacket(*m_empty))
            return failed;
        ++m_slots;
        ++m_emptySlots;
    }
    return std::nullopt;
}

Failure AviWriter::writeVideo(AVPacket &packet, int64_t slot)
{
    if (slot < m_slots)
        return std::nullopt; // that time is taken already
    if (const Failure failed = writeEmptyUpTo(slot - 1))
        return failed;
    packet.stream_index = m_video->index;
    packet.pts = packet.dts =
        av_rescale_q(slot, av_inv_q(m_video->avg_frame_rate), m_video->time_base);
    packet.duration = 0;
    if (const Failure failed = writePacket(packet))
        return failed;
    m_slots = slot + 1;
    return std::nullopt;
}

Failure AviWriter::writeSound(const QByteArray &pcm)
{
    if (!m_sound || m_soundBlockAlign <= 0 || pcm.isEmpty())
        return std::nullopt;
    const int64_t samples = pcm.size() / m_soundBlockAlign;
    ffmpeg::Packet packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), int(samples * m_soundBlockAlign)) < 0)
        return fail(AVERROR(ENOMEM));
    std::copy_n(pcm.constData(), packet->size, packet->data);
    packet->stream_index = m_sound->index;
    packet->pts = packet->dts = m_samples;
    packet->duration = samples;
    packet->flags |= AV_PKT_FLAG_KEY;
    if (const Failure failed = writePacket(*packet))
        return failed;
    m_samples += samples;
    return std::nullopt;
}

Failure AviWriter::finish()
{
    if (m_finished)
        return m_error;
    m_finished = true;
    if (m_format && m_format->pb) {
        if (!m_error) {
            const int rc = av_write_trailer(m_format.get());
            avio_flush(m_io.get());
            if (rc < 0 || m_io->error < 0)
                fail(rc < 0 ? rc : m_io->error);
        } else {
            // The muxer cannot finish a file it could not write; free it without trying.
            av_write_trailer(m_format.get());
        }
    }
    if (m_error && m_fd >= 0) {
        // Keep every whole chunk and nothing of the one that did not fit, and let the header
        // say what is there (the index could not be written).
        [[maybe_unused]] const int rc = ::ftruncate(m_fd, off_t(m_wholeEnd));
        m_fileEnd = m_wholeEnd;
        patchHeader();
    }
    m_format.reset();
    m_io.reset();
    if (m_fd >= 0 && ::close(m_fd) < 0 && !m_error)
        m_error = ffmpeg::errorText(AVERROR(errno));
    m_fd = -1;
    return m_error;
}

} // namespace skelvin
