#pragma once

#include "core/capture/recording/VideoEncoder.h"

namespace skelvin {

// "Motion JPEG": every frame a JPEG picture of its own, so every frame is a key frame and the
// frame player jumps anywhere at the cost of one picture.
class MjpegEncoder : public VideoEncoder
{
public:
    QString name() const override { return QStringLiteral("Motion JPEG"); }

protected:
    const AVCodec *findCodec() const override;
    AVPixelFormat encoderFormat(AVPixelFormat) const override { return AV_PIX_FMT_YUVJ420P; }
    void configure(AVCodecContext &context, AVDictionary **options,
                   const CompressorSettings &settings) const override;
};

} // namespace skelvin
