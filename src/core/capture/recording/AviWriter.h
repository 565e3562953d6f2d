#pragma once

#include "core/capture/recording/RecorderHandles.h"
#include "core/common/Result.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

namespace skelvin {

// The streams of one AVI file: the video as compressed (or copied) and, optionally, PCM sound.
struct AviStreams
{
    const AVCodecParameters *video = nullptr;
    AVRational frameRate{30, 1};
    int soundSampleRate = 0; // 0: no sound stream
    int soundChannels = 0;
    int soundBitsPerSample = 0;
};

// Writes one AVI file through libavformat's AVI muxer (OpenDML parts once it passes 1 GiB),
// one slot per frame time at the file's rate, an empty chunk for a slot with no frame, sound
// as PCM. Used by the encoder thread only.
//
// The muxer writes into this class's own file writer, which knows how many bytes reached the
// disk after each whole chunk. That is what keeps a recording readable when its writing is
// cut off: every chunk is handed to the system as soon as it is complete, the header is told
// the frames written so far once a second (`keepHeaderCurrent`), and after a write error
// (full disk, a folder that went away) the file is cut back to its last whole chunk and its
// header made to say so. `byteLimit` lets tests run out of disk at a chosen size.
class AviWriter
{
public:
    ~AviWriter();
    AviWriter(const AviWriter &) = delete;
    AviWriter &operator=(const AviWriter &) = delete;

    // Creates (or replaces) the file and writes its header. `byteLimit` < 0: no limit.
    static Result<std::unique_ptr<AviWriter>> create(const QString &path, const AviStreams &streams,
                                                     qint64 byteLimit = -1);

    // Writes the compressed picture of `slot`; slots before it that have no frame get empty
    // chunks. Slots only go up.
    Failure writeVideo(AVPacket &packet, int64_t slot);
    // Empty chunks up to and including `slot`.
    Failure writeEmptyUpTo(int64_t slot);
    Failure writeSound(const QByteArray &pcm);

    // Tells the header how many frames the file holds so far. Cheap; call about once a second.
    void keepHeaderCurrent();

    // Writes the index and closes the file. After a write error it keeps what was written:
    // the file ends with its last whole chunk. Returns the first error of the file, if any.
    Failure finish();

    int64_t slotsWritten() const { return m_slots; }
    int64_t emptySlotsWritten() const { return m_emptySlots; }
    int64_t samplesWritten() const { return m_samples; }
    const QString &path() const { return m_path; }
    // The reason writing stopped, empty while all is well.
    const Failure &error() const { return m_error; }

private:
    AviWriter() = default;
    Failure open(const QString &path, const AviStreams &streams, qint64 byteLimit);
    Failure writePacket(AVPacket &packet);
    Failure fail(int code);
    void findHeaderFields();
    void patchHeader();
    void patch32(qint64 offset, std::uint32_t value);

    static int writeBytes(void *opaque, uint8_t *data,
                          int size); // FFmpeg 5.1 passes a non-const buffer
    static int64_t seekTo(void *opaque, int64_t offset, int whence);

    QString m_path;
    int m_fd = -1;
    qint64 m_position = 0; // where the muxer writes next
    qint64 m_fileEnd = 0;  // bytes in the file
    qint64 m_wholeEnd = 0; // the file's end after its last whole chunk
    qint64 m_byteLimit = -1;
    int m_writeError = 0;

    ffmpeg::Muxer m_format;
    ffmpeg::IoContext m_io;
    ffmpeg::Packet m_empty;
    AVStream *m_video = nullptr;
    AVStream *m_sound = nullptr;
    int m_soundBlockAlign = 0;

    int64_t m_slots = 0;
    int64_t m_emptySlots = 0;
    int64_t m_samples = 0;
    Failure m_error;
    bool m_finished = false;

    // Where the header keeps the sizes and counts that are only final at the end.
    qint64 m_riffSizeAt = 4;
    qint64 m_moviSizeAt = -1;
    qint64 m_avihFramesAt = -1;
    qint64 m_strhLengthAt = -1;
    qint64 m_dmlhFramesAt = -1;
};

} // namespace skelvin
