#include "core/frames/PictureConverter.h"

namespace skelvin {

namespace {

// The full-range "J" formats of Motion JPEG are the plain formats with a full colour range.
AVPixelFormat plainFormat(AVPixelFormat format, bool *fullRange)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        *fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        *fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        *fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        *fullRange = true;
        return AV_PIX_FMT_YUV440P;
    default:
        return format;
    }
}

} // namespace

QImage PictureConverter::convert(const AVFrame &frame, QImage target)
{
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = plainFormat(AVPixelFormat(frame.format), &fullRange);
    SwsContext *previous = m_scale.get();
    m_scale.reset(sws_getCachedContext(m_scale.release(), frame.width, frame.height, source,
                                       m_size.width(), m_size.height(), AV_PIX_FMT_BGR24,
                                       SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_scale)
        return {};
    const int colourSpace = frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    if (m_scale.get() != previous || colourSpace != m_colourSpace || fullRange != m_fullRange) {
        m_colourSpace = colourSpace;
        m_fullRange = fullRange;
        sws_setColorspaceDetails(m_scale.get(), sws_getCoefficients(colourSpace), fullRange ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    QImage image = std::move(target);
    if (image.size() != m_size || image.format() != QImage::Format_BGR888 || !image.isDetached())
        image = QImage(m_size, QImage::Format_BGR888);
    if (image.isNull())
        return {};
    uint8_t *dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_scale.get(), frame.data, frame.linesize, 0, frame.height, dst, dstStride) !=
        m_size.height())
        return {};
    return image;
}

} // namespace skelvin
