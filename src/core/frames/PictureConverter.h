#pragma once

#include "core/frames/FfmpegHandles.h"

#include <QImage>
#include <QSize>

namespace skelvin {

// Turns decoded pictures of one video into QImage::Format_BGR888 pictures of the video's size,
// top-down, rows padded to 4 bytes: the same bytes per row as a 24-bit bitmap, so packing it
// bottom-up is a row copy. Keeps its scaler between pictures; one thread uses one converter.
class PictureConverter
{
public:
    explicit PictureConverter(QSize size) : m_size(size) {}

    // Converts into target when it is a picture of the right size and format nobody else
    // holds (its memory is reused), else into a new picture. A null image when it fails.
    QImage convert(const AVFrame &frame, QImage target = QImage());

private:
    QSize m_size;
    ffmpeg::ScaleContext m_scale;
    int m_colourSpace = -1;
    bool m_fullRange = false;
};

} // namespace skelvin
