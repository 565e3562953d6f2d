#pragma once

#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace skelvin {

// The video compressors of the capture control, by their index in its compressor list; -1 is
// "None" (uncompressed 24-bit frames).
namespace compressor {
inline constexpr int kUncompressed = -1;
inline constexpr int kMotionJpeg = 0;
inline constexpr int kFfv1 = 1;
inline constexpr int kH264 = 2;
inline constexpr int kCount = 3;
} // namespace compressor

// What the compressor settings dialog edits.
struct CompressorSettings
{
    int quality = 90;          // 1 (smallest files) to 100 (best pictures)
    int keyFrameInterval = 10; // frames from one key frame to the next (H.264)
};

// Compresses the pictures of a recording through an FFmpeg encoder. Pictures in any pixel
// format are converted (swscale) to the one the encoder takes; each picture carries its slot
// in the file as its time, so packets come out with their slot as pts. Used by the encoder
// thread only.
class VideoEncoder
{
public:
    virtual ~VideoEncoder();

    // The list entry, e.g. "Motion JPEG".
    virtual QString name() const = 0;

    // Opens the encoder for pictures of `size` arriving as `sourceFormat`, at `frameRate`.
    Failure open(QSize size, AVRational frameRate, AVPixelFormat sourceFormat,
                 const CompressorSettings &settings);
    const AVCodecContext &context() const { return *m_context; }

    // Encodes one picture for `slot`; packets that are finished are appended to `packets`.
    Failure encode(const AVFrame &picture, int64_t slot, std::vector<ffmpeg::Packet> &packets);
    // Ends the stream: the packets the encoder still holds.
    Failure flush(std::vector<ffmpeg::Packet> &packets);

protected:
    virtual const AVCodec *findCodec() const = 0;
    virtual AVPixelFormat encoderFormat(AVPixelFormat sourceFormat) const = 0;
    // Pictures stored bottom-up (uncompressed bitmaps): the encoder is handed them upside down.
    virtual bool bottomUp() const { return false; }
    // Codec options beyond size, format and rate.
    virtual void configure(AVCodecContext &context, AVDictionary **options,
                           const CompressorSettings &settings) const;

private:
    Failure receive(std::vector<ffmpeg::Packet> &packets);

    ffmpeg::CodecContext m_context;
    ffmpeg::ScaleContext m_scale;
    ffmpeg::Frame m_converted;
    AVPixelFormat m_scaleSource = AV_PIX_FMT_NONE;
    QSize m_scaleSize;
};

// The compressor names of the control's list, index 0 first.
QStringList videoCompressorNames();
// The encoder of compressor `index` (compressor::k...); null for an index out of range.
std::unique_ptr<VideoEncoder> makeVideoEncoder(int index);
// The settings the compressor dialog shows for compressor `index` (none for some).
bool compressorHasSettings(int index);

} // namespace skelvin
