#include "core/capture/recording/H264Encoder.h"

#include <algorithm>

namespace skelvin {

const AVCodec *H264Encoder::findCodec() const
{
    if (const AVCodec *x264 = avcodec_find_encoder_by_name("libx264"))
        return x264;
    return avcodec_find_encoder(AV_CODEC_ID_H264);
}

void H264Encoder::configure(AVCodecContext &context, AVDictionary **options,
                            const CompressorSettings &settings) const
{
    context.gop_size = std::clamp(settings.keyFrameInterval, 1, 300);
    context.keyint_min = context.gop_size;
    context.max_b_frames = 0;
    // Quality 100 is constant rate factor 0 (lossless), quality 1 is 51.
    const int crf = (100 - std::clamp(settings.quality, 1, 100)) * 51 / 99;
    av_dict_set(options, "crf", QByteArray::number(crf).constData(), 0);
    // Fast enough for 1080p at 30 frames per second on two cores beside the camera.
    av_dict_set(options, "preset", "superfast", 0);
    av_dict_set(options, "tune", "zerolatency", 0);
    av_dict_set(options, "x264-params", "scenecut=0:open-gop=0", 0);
}

} // namespace skelvin
