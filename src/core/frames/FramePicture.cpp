#include "core/frames/FramePicture.h"

#include "core/common/Prompter.h"
#include "core/frames/FrameMessages.h"
#include "core/frames/VideoDecoder.h"
#include "core/frames/cDIB.h"

#include <QtEndian>

#include <cstring>

namespace skelvin {

using namespace frame_messages;

QByteArray packedBitmap24(const QImage &image)
{
    const QImage bgr = image.format() == QImage::Format_BGR888
                           ? image
                           : image.convertToFormat(QImage::Format_BGR888);
    const qint64 width = bgr.width();
    const qint64 height = bgr.height();
    const qint64 rowBytes = (width * 3 + 3) / 4 * 4;
    const qint64 imageBytes = rowBytes * height;

    QByteArray packed(cDIB::kInfoHeaderBytes + imageBytes, '\0');
    char *h = packed.data();
    qToLittleEndian<quint32>(cDIB::kInfoHeaderBytes, h);
    qToLittleEndian<qint32>(qint32(width), h + 4);
    qToLittleEndian<qint32>(qint32(height), h + 8); // positive: rows stored bottom-up
    qToLittleEndian<quint16>(1, h + 12);
    qToLittleEndian<quint16>(24, h + 14);
    qToLittleEndian<quint32>(quint32(imageBytes), h + 20);
    char *bits = h + cDIB::kInfoHeaderBytes;
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(bits + (height - 1 - y) * rowBytes, bgr.constScanLine(int(y)),
                    std::size_t(width * 3));
    return packed;
}

bool writeFramePicture(const QString &videoPath, int frame, const QString &picturePath,
                       Prompter &prompter)
{
    const auto tellError = [&](const QString &path) {
        prompter.inform(withPath(kErrorWorkingWithFile, path), MessageIcon::Information,
                        kApplicationTitle);
        return false;
    };
    VideoDecoder::OpenFailure failure;
    const std::unique_ptr<VideoDecoder> decoder = VideoDecoder::open(videoPath, &failure);
    if (!decoder) {
        if (failure.kind == VideoDecoder::OpenError::NoDecoder) {
            prompter.inform(kNoDecompressor, MessageIcon::Information, kApplicationTitle);
            return false;
        }
        return tellError(videoPath);
    }
    const Result<QImage> picture = decoder->decodeFrame(frame);
    if (!picture)
        return tellError(videoPath);
    cDIB dib;
    if (!dib.CreateFromPackedDIBPointer(packedBitmap24(picture.value())))
        return tellError(videoPath);
    if (!dib.WriteToFile(picturePath))
        return tellError(picturePath);
    return true;
}

} // namespace skelvin
