#pragma once

#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"

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

// Decodes single frames of the first video stream of a file, counted from 0 in display order
// (frame N is the N-th picture a player shows).
//
// When the file opens, its packets are read once in file order to build the frame table:
// packet i of the video stream is frame i, with its byte position and key flag. A frame is
// found by that table: seek to the nearest key frame at or before it, check that the packet
// read there is the table's packet (else read on from the start of the file to it), then
// decode forward counting pictures. Timestamps are never used to guess a position. Each
// packet is tagged with its table index, so the picture that comes out can be checked: the
// key frame must be the first picture shown after a seek, and for streams without reordering
// the picture's tag must be the frame counted; a key frame whose picture is not a key picture
// was flagged wrongly and is no longer used as one. A frame the recorder dropped (an empty
// chunk in an AVI file) keeps its place in the count and shows the picture before it, as a
// player does.
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

    int frameCount() const { return int(m_table.size()); }
    QSize frameSize() const { return m_size; }
    double frameRate() const { return m_frameRate; }
    QString codecName() const;
    // The key frame a decode of the frame starts from.
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
    };

    VideoDecoder() = default;
    bool buildFrameTable();
    bool isTablePacket(const AVPacket &packet, int index) const;
    Failure seekToKey(int key);
    Failure rewindTo(int key);
    Failure startEarlier(bool notAKey);
    int readVideoPacket(); // into m_packet; 0, AVERROR_EOF or another error
    Failure sendNextPacket();
    QImage toImage(const AVFrame &frame);

    ffmpeg::FormatInput m_format;
    ffmpeg::CodecContext m_codec;
    ffmpeg::Packet m_packet;
    ffmpeg::Frame m_frame;
    ffmpeg::ScaleContext m_scale;
    std::vector<QImage> m_spareImages;
    int m_scaleColourSpace = -1;
    bool m_scaleFullRange = false;
    int m_stream = -1;
    QSize m_size;
    double m_frameRate = 0;
    std::vector<Entry> m_table; // key flags are corrected when a key frame does not decode

    bool m_packetPending = false; // m_packet holds the next packet to send
    int m_nextPacket = 0;         // table index of the next packet to send
    int m_nextDisplay = -1;       // display index of the next picture out of the decoder
    int m_seekKey = -1;           // key frame of the last seek, until its picture came out
    bool m_drained = false;       // the end was sent to the decoder
};

} // namespace skelvin
