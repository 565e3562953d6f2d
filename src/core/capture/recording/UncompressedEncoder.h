#pragma once

#include "core/capture/recording/VideoEncoder.h"

namespace skelvin {

// "None": uncompressed 24-bit frames (blue, green, red), as a bitmap holds them.
class UncompressedEncoder : public VideoEncoder
{
public:
    QString name() const override { return QStringLiteral("None"); }

protected:
    const AVCodec *findCodec() const override;
    AVPixelFormat encoderFormat(AVPixelFormat) const override { return AV_PIX_FMT_BGR24; }
    bool bottomUp() const override { return true; }
};

} // namespace skelvin
