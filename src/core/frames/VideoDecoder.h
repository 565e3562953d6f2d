#pragma once

#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"
#include "core/frames/MemoryInput.h"
#include "core/frames/PictureConverter.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace skelvin {

// Frames the decoder passes on its way to a requested frame, offered to the caller so that a
// walk through a group of pictures is paid for once.
struct FrameSink
{
    std::function<bool(int frame)> wants; // convert and hand this one over?
    std::function<void(int frame, const QImage &image)> take;
    std::function<bool()> cancelled; // stop the walk early
};

// Decodes single frames of the first video stream of a file. Frame N is the N-th frame time of
// the stream counted from 0: the N-th picture a player shows, and a frame the recorder dropped
// (an empty chunk in an AVI file) keeps its place in the count and shows the picture before it.
//
// When the file opens, its packets are read once in file order to build the frame table:
// packet i of the video stream is table entry i, with its byte position and key flag, and the
// file has one frame time per entry. A decode starts at a key frame and counts the pictures
// that come out of the decoder from that key frame's picture on. Timestamps are never used to
// guess a position: each packet is tagged with its table index, so every picture that comes
// out tells which packet it was stored in.
//
// With B-frames the pictures are stored in another order than they are shown. A key frame of
// an open group of pictures is followed in the file by "leading" pictures that are shown
// before it and lean on the group before; a decode starting at that key frame cannot show
// them. Such a key frame's picture is shown at frame (its table index + its leading pictures),
// and every frame from there on decodes from it. The number of leading pictures is learnt by
// decoding across the key frame from the key frame before it (and noted, so each key frame is
// learnt once); frames before its picture decode from an earlier key frame. Streams without
// B-frames, and intra-only streams, have no leading pictures. DivX-style packed B-frames (a
// B-frame stored with the picture before it, and a placeholder chunk where the stored picture
// is shown) count the same way: every chunk is one frame time, the placeholder included. A
// writer that cannot flush its encoder ends the file with placeholders for frames it never
// coded; those frames have no picture of their own and show the last one.
//
// The decoder also checks what it is told: the key frame's picture must be the first picture
// after a seek apart from leading pictures it drops or shows broken (those are passed over),
// and a key frame that decodes to a picture that is not a key picture was flagged wrongly (a
// file without an index can flag every frame) and is no longer used as one.
//
// Pictures are delivered as QImage::Format_BGR888, top-down, rows padded to 4 bytes: the same
// bytes per row as a 24-bit bitmap, so packing it bottom-up is a row copy.
//
// Not thread-safe: one thread uses one decoder.
class VideoDecoder
{
public:
    enum class OpenError {
        File,      // the file does not open, or holds no video stream
        NoDecoder, // no decoder for its video format
    };

    struct OpenFailure
    {
        OpenError kind = OpenError::File;
        QString detail; // plain words for logs and the command-line tool
    };

    ~VideoDecoder();
    VideoDecoder(const VideoDecoder &) = delete;
    VideoDecoder &operator=(const VideoDecoder &) = delete;

    // Opens the file and builds its frame table.
    static std::unique_ptr<VideoDecoder> open(const QString &path, OpenFailure *failure);
    // The same for a whole video file held in memory.
    static std::unique_ptr<VideoDecoder> openBytes(QByteArray bytes, OpenFailure *failure);

    int frameCount() const { return int(m_table.size()); }
    QSize frameSize() const { return m_size; }
    double frameRate() const { return m_frameRate; }
    QString codecName() const;
    // The first frame of the run of frames that a decode of the frame starts with (the frame
    // of a key frame's picture), as far as the decoder knows the video so far: an earlier
    // frame while a key frame's leading pictures are not yet known.
    int keyFrameAtOrBefore(int frame) const;
    // The frame the decoder delivers next without seeking, -1 when any frame needs a seek.
    int nextFrame() const { return m_nextDisplay; }

    // Hands back a picture nobody else holds any more, so a later frame is written into its
    // memory instead of fresh memory (a 1080p picture is 6 MiB of pages the system would
    // otherwise have to map anew). Keeps at most kSpareImages.
    void recycle(QImage image);
    int spareImageCount() const { return int(m_spareImages.size()); }
    static constexpr int kSpareImages = 2;

    // Decodes one frame. Fails for a frame outside 0 .. frameCount() - 1, a frame that does not
    // decode, or a walk the sink cancelled.
    Result<QImage> decodeFrame(int frame, const FrameSink *sink = nullptr);

private:
    struct Entry
    {
        qint64 pos = -1;
        qint64 dts = AV_NOPTS_VALUE;
        bool key = false;
        bool empty = false;
        bool corrupt = false;
        bool inFile = true; // false for a dropped frame the demuxer gives no packet for
        // Of a key frame: pictures stored after it but shown before it; -1 while not known.
        int leading = -1;
    };

    // A key frame sent in the current run whose picture has not come out yet, with the
    // pictures stored after it that came out before it so far.
    struct PendingKey
    {
        int key = 0;
        int leading = 0;
    };

    VideoDecoder() = default;
    static std::unique_ptr<VideoDecoder> failed(OpenFailure *failure, OpenError kind,
                                                const QString &detail);
    // Finishes an open once m_format holds the opened input.
    static std::unique_ptr<VideoDecoder> openStreams(std::unique_ptr<VideoDecoder> d,
                                                     OpenFailure *failure);
    bool buildFrameTable();
    void primeWithFirstPicture();
    bool isTablePacket(const AVPacket &packet, int index) const;
    int keyIndexAtOrBefore(int index) const;
    Failure startRun(int frame, int below);
    Failure seekToKey(int key);
    Failure rewindTo(int key);
    int readVideoPacket(); // into m_packet; 0, AVERROR_EOF or another error
    Failure sendNextPacket();
    bool learnFromPicture(qint64 tag, bool keyPicture, bool *keyWasWrong);
    void forgetLeadingPictures();
    QImage toImage(const AVFrame &frame);

    std::unique_ptr<MemoryInput> m_memory; // the bytes of a video opened from memory
    ffmpeg::FormatInput m_format;          // closed before m_memory goes
    ffmpeg::CodecContext m_codec;
    ffmpeg::Packet m_packet;
    ffmpeg::Frame m_frame;
    std::unique_ptr<PictureConverter> m_converter;
    std::vector<QImage> m_spareImages;
    int m_stream = -1;
    QSize m_size;
    double m_frameRate = 0;
    bool m_reorders = false;    // pictures may be shown in another order than stored
    std::vector<Entry> m_table; // key flags are corrected when a key frame does not decode

    bool m_packetPending = false; // m_packet holds the next packet to send
    int m_nextPacket = 0;         // table index of the next packet to send
    int m_nextDisplay = -1;       // frame of the next picture out of the decoder, -1 if unknown
    int m_runKey = -1;            // key frame the current run started from
    bool m_awaitingKey = false;   // the run's key frame picture has not come out yet
    int m_passedOver = 0;         // pictures passed over while waiting for it
    std::vector<PendingKey> m_pendingKeys;
    bool m_drained = false; // the end was sent to the decoder
};

} // namespace skelvin
