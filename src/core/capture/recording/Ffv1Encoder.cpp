#include "core/capture/recording/Ffv1Encoder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <QThread>

#include <algorithm>

namespace skelvin {

const AVCodec *Ffv1Encoder::findCodec() const
{
    return avcodec_find_encoder(AV_CODEC_ID_FFV1);
}

AVPixelFormat Ffv1Encoder::encoderFormat(AVPixelFormat sourceFormat) const
{
    const AVCodec *codec = findCodec();
    if (!codec || !codec->pix_fmts || sourceFormat == AV_PIX_FMT_NONE)
        return AV_PIX_FMT_YUV422P;
    // The format that loses nothing of the camera's pictures.
    const AVPixelFormat best =
        avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, sourceFormat, 0, nullptr);
    return best == AV_PIX_FMT_NONE ? AV_PIX_FMT_YUV422P : best;
}

void Ffv1Encoder::configure(AVCodecContext &context, AVDictionary **options,
                            const CompressorSettings &) const
{
    // Every frame on its own, so stepping back costs one frame; slices let both cores work.
    context.gop_size = 1;
    context.thread_count = std::clamp(QThread::idealThreadCount(), 1, 4);
    av_dict_set(options, "slices", "4", 0);
    av_dict_set(options, "slicecrc", "1", 0);
}

} // namespace skelvin
