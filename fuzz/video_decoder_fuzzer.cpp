#include "FuzzSupport.h"
#include "core/frames/VideoDecoder.h"

// Any bytes as a recorded video held in memory: opened, then the first frame, the last, one in
// the middle and the first again decoded (a step back makes the decoder seek).
SKELVIN_FUZZ_TARGET(video_decoder_fuzzer)
{
    using namespace skelvin;
    VideoDecoder::OpenFailure failure;
    auto decoder = VideoDecoder::openBytes(fuzz::bytes(data, size), &failure);
    if (!decoder)
        return 0;
    const int count = decoder->frameCount();
    // Pictures of absurd sizes are not worth the fuzzer's time.
    if (qint64(decoder->frameSize().width()) * decoder->frameSize().height() > 4096 * 4096)
        return 0;
    for (const int frame : {0, count - 1, count / 2, 0, count})
        (void)decoder->decodeFrame(frame);
    return 0;
}
