#include "core/capture/recording/PictureConversion.h"

#include <algorithm>

namespace skelvin {

QImage pictureToImage(const AVFrame &picture, QSize size, ffmpeg::ScaleContext &scale,
                      QImage::Format format, int swsFlags)
{
    if (size.isEmpty() || picture.width <= 0 || picture.height <= 0)
        return {};
    // 0xffRRGGBB in memory on little-endian machines is B, G, R, A.
    const bool rgb32 = format == QImage::Format_RGB32;
    SwsContext *context = sws_getCachedContext(
        scale.release(), picture.width, picture.height, AVPixelFormat(picture.format), size.width(),
        size.height(), rgb32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_RGB24, swsFlags, nullptr, nullptr,
        nullptr);
    scale.reset(context);
    if (!context)
        return {};
    QImage image(size, rgb32 ? QImage::Format_RGB32 : QImage::Format_RGB888);
    uint8_t *const data[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int lines[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(context, picture.data, picture.linesize, 0, picture.height, data, lines);
    return image;
}

QSize fittedSize(QSize picture, QSize box)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    QSize fitted = picture.scaled(box, Qt::KeepAspectRatio);
    if (fitted.width() > picture.width())
        fitted = picture; // never larger than the camera's own picture
    // Even sizes keep the chroma planes of the scaler's output whole.
    return QSize(std::max(2, fitted.width() & ~1), std::max(2, fitted.height() & ~1));
}

} // namespace skelvin
