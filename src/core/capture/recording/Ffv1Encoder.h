#pragma once

#include "core/capture/recording/VideoEncoder.h"

namespace skelvin {

// "FFV1 (lossless)": the camera's pictures exactly, in the camera's own colour layout where
// FFV1 has it; every frame a key frame.
class Ffv1Encoder : public VideoEncoder
{
public:
    QString name() const override { return QStringLiteral("FFV1 (lossless)"); }

protected:
    const AVCodec *findCodec() const override;
    AVPixelFormat encoderFormat(AVPixelFormat sourceFormat) const override;
    void configure(AVCodecContext &context, AVDictionary **options,
                   const CompressorSettings &settings) const override;
};

} // namespace skelvin
