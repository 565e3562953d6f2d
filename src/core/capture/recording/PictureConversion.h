#pragma once

#include "core/frames/FfmpegHandles.h"

#include <QImage>
#include <QSize>

namespace skelvin {

// A camera picture in any pixel format as a 24-bit QImage (Format_RGB888) of `size`, scaled
// with swscale. `scale` keeps the conversion between calls. Null when it cannot convert.
QImage pictureToImage(const AVFrame &picture, QSize size, ffmpeg::ScaleContext &scale);

// The largest size of `picture`'s shape that fits in `box`.
QSize fittedSize(QSize picture, QSize box);

} // namespace skelvin
