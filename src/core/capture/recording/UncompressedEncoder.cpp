#include "core/capture/recording/UncompressedEncoder.h"

namespace skelvin {

const AVCodec *UncompressedEncoder::findCodec() const
{
    return avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
}

} // namespace skelvin
