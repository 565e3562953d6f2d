#include "core/capture/recording/MjpegEncoder.h"

#include <QThread>

#include <algorithm>

namespace skelvin {

const AVCodec *MjpegEncoder::findCodec() const
{
    return avcodec_find_encoder(AV_CODEC_ID_MJPEG);
}

void MjpegEncoder::configure(AVCodecContext &context, AVDictionary **,
                             const CompressorSettings &settings) const
{
    // Quality 100 is JPEG's finest quantiser (2), quality 1 its coarsest (31).
    const int quality = std::clamp(settings.quality, 1, 100);
    const int qscale = 2 + (100 - quality) * 29 / 99;
    context.flags |= AV_CODEC_FLAG_QSCALE;
    context.global_quality = FF_QP2LAMBDA * qscale;
    context.thread_count = std::clamp(QThread::idealThreadCount(), 1, 4);
}

} // namespace skelvin
