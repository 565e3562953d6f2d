#include "core/capture/recording/StillPictureWriter.h"

#include "core/common/SafeFile.h"
#include "core/frames/FramePicture.h"
#include "core/frames/cDIB.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryFile>

#include <algorithm>

#include <unistd.h>

namespace skelvin {

namespace {

constexpr int kDefaultJpegQuality = 75;
constexpr int kMaximumStillNumber = 99999;

enum class StillKind { Bitmap, Jpeg, Unknown };

StillKind stillKind(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return StillKind::Bitmap;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
        suffix == QLatin1String("pic"))
        return StillKind::Jpeg;
    return StillKind::Unknown;
}

Result<QByteArray> bitmapBytes(const QImage &picture)
{
    cDIB dib;
    if (!dib.CreateFromPackedDIBPointer(packedBitmap24(picture)))
        return Result<QByteArray>::failure(QStringLiteral("The picture cannot be made a bitmap"));
    return dib.fileBytes();
}

Result<QByteArray> jpegBytes(const QImage &picture, const StillOptions &options)
{
    QImage stamped = picture.convertToFormat(QImage::Format_RGB32);
    if (!options.caption.isEmpty()) {
        QPainter painter(&stamped);
        const QRect box(options.captionLeft, options.captionTop,
                        std::max(1, stamped.width() - options.captionLeft),
                        std::max(1, stamped.height() - options.captionTop));
        // A dark shadow keeps the caption readable on water and sky alike.
        painter.setPen(Qt::black);
        painter.drawText(box.translated(1, 1), Qt::AlignLeft | Qt::AlignTop, options.caption);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, options.caption);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(stillJpegQuality(options));
    writer.setProgressiveScanWrite(options.progressiveJpeg);
    if (!writer.write(stamped))
        return Result<QByteArray>::failure(
            QStringLiteral("The picture cannot be made a JPEG: %1").arg(writer.errorString()));
    return bytes;
}

Result<QString> replaceFile(const QString &path, const QByteArray &bytes)
{
    if (const Failure failed = replaceFileBytes(path, bytes))
        return Result<QString>::failure(
            QStringLiteral("%1 cannot be written: %2").arg(path, failed->mid(path.size() + 2)));
    return path;
}

Result<QString> writeNumbered(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    QTemporaryFile temporary(folder + QStringLiteral("/.still-XXXXXX"));
    if (!temporary.open() || temporary.write(bytes) != bytes.size() || !temporary.flush() ||
        ::fsync(temporary.handle()) != 0)
        return Result<QString>::failure(
            QStringLiteral("%1 cannot be written: %2").arg(path, temporary.errorString()));
    for (int number = 1; number <= kMaximumStillNumber; ++number) {
        const QString candidate = numberedStillPath(path, number);
        if (QFileInfo::exists(candidate))
            continue;
        // Renaming never replaces a file; one that appeared meanwhile moves us on.
        if (temporary.rename(candidate)) {
            temporary.setAutoRemove(false);
            return candidate;
        }
        if (!QFileInfo::exists(candidate))
            return Result<QString>::failure(
                QStringLiteral("%1 cannot be written: %2").arg(candidate, temporary.errorString()));
    }
    return Result<QString>::failure(
        QStringLiteral("%1 cannot be written: every number up to %2 is taken")
            .arg(path)
            .arg(kMaximumStillNumber));
}

} // namespace

int stillJpegQuality(const StillOptions &options)
{
    const int quality = std::max(options.lumFactor, options.chromFactor);
    if (quality <= 0)
        return kDefaultJpegQuality;
    return std::min(quality, 100);
}

QString numberedStillPath(const QString &path, int number)
{
    const QFileInfo info(path);
    const QString name =
        info.completeBaseName() + QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
    const QString file = info.suffix().isEmpty() ? name : name + QLatin1Char('.') + info.suffix();
    const QString folder = info.path();
    return folder == QLatin1String(".") && !path.startsWith(QLatin1String("./"))
               ? file
               : folder + QLatin1Char('/') + file;
}

Result<QString> writeStillPicture(const QImage &picture, const QString &path,
                                  const StillOptions &options)
{
    if (picture.isNull())
        return Result<QString>::failure(QStringLiteral("There is no picture to write"));
    const StillKind kind = stillKind(path);
    if (kind == StillKind::Unknown)
        return Result<QString>::failure(
            QStringLiteral("%1 cannot be written: a still picture is a .bmp, .jpg, .jpeg or .pic "
                           "file")
                .arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        return Result<QString>::failure(
            QStringLiteral("%1 cannot be written: the folder %2 does not exist").arg(path, folder));

    const Result<QByteArray> bytes =
        kind == StillKind::Bitmap ? bitmapBytes(picture) : jpegBytes(picture, options);
    if (!bytes)
        return Result<QString>::failure(bytes.error());
    return options.autoIncrement ? writeNumbered(path, bytes.value())
                                 : replaceFile(path, bytes.value());
}

} // namespace skelvin
