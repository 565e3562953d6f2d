#pragma once

#include "core/frames/FfmpegHandles.h"

#include <QImage>
#include <QSize>

namespace skelvin {

// A camera picture in any pixel format as a QImage of `size`, scaled with swscale: 24-bit
// (Format_RGB888) unless `format` is Format_RGB32 (what a screen paints fastest). `scale`
// keeps the conversion between calls; `swsFlags` is swscale's way of scaling (the live picture
// takes the fast one). Null when it cannot convert.
QImage pictureToImage(const AVFrame &picture, QSize size, ffmpeg::ScaleContext &scale,
                      QImage::Format format = QImage::Format_RGB888, int swsFlags = SWS_BILINEAR);

// The largest size of `picture`'s shape that fits in `box`.
QSize fittedSize(QSize picture, QSize box);

} // namespace skelvin
