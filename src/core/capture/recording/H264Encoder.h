#pragma once

#include "core/capture/recording/VideoEncoder.h"

namespace skelvin {

// "H.264 (key frame every 10)": small files; a key frame every ten frames (or as set) and no
// B-frames, so the frame player reaches any frame within a few decodes.
class H264Encoder : public VideoEncoder
{
public:
    QString name() const override { return QStringLiteral("H.264 (key frame every 10)"); }

protected:
    const AVCodec *findCodec() const override;
    AVPixelFormat encoderFormat(AVPixelFormat) const override { return AV_PIX_FMT_YUV420P; }
    void configure(AVCodecContext &context, AVDictionary **options,
                   const CompressorSettings &settings) const override;
};

} // namespace skelvin
