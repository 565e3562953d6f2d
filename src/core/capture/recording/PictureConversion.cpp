#include "core/capture/recording/PictureConversion.h"

#include <algorithm>

namespace skelvin {

QImage pictureToImage(const AVFrame &picture, QSize size, ffmpeg::ScaleContext &scale)
{
    if (size.isEmpty() || picture.width <= 0 || picture.height <= 0)
        return {};
    SwsContext *context = sws_getCachedContext(
        scale.release(), picture.width, picture.height, AVPixelFormat(picture.format), size.width(),
        size.height(), AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    scale.reset(context);
    if (!context)
        return {};
    QImage image(size, QImage::Format_RGB888);
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
