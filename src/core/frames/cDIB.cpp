#include "core/frames/cDIB.h"

#include "core/common/Prompter.h"
#include "core/common/SafeFile.h"
#include "core/frames/FrameMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace skelvin {

namespace {

using namespace frame_messages;

cDIB::InfoHeader decodeInfoHeader(const char *p)
{
    cDIB::InfoHeader h;
    h.size = qFromLittleEndian<quint32>(p);
    h.width = qFromLittleEndian<qint32>(p + 4);
    h.height = qFromLittleEndian<qint32>(p + 8);
    h.planes = qFromLittleEndian<quint16>(p + 12);
    h.bitCount = qFromLittleEndian<quint16>(p + 14);
    h.compression = qFromLittleEndian<quint32>(p + 16);
    h.sizeImage = qFromLittleEndian<quint32>(p + 20);
    h.xPelsPerMeter = qFromLittleEndian<qint32>(p + 24);
    h.yPelsPerMeter = qFromLittleEndian<qint32>(p + 28);
    h.clrUsed = qFromLittleEndian<quint32>(p + 32);
    h.clrImportant = qFromLittleEndian<quint32>(p + 36);
    return h;
}

cDIB::FileHeader decodeFileHeader(const char *p)
{
    cDIB::FileHeader h;
    h.type = qFromLittleEndian<quint16>(p);
    h.size = qFromLittleEndian<quint32>(p + 2);
    h.reserved1 = qFromLittleEndian<quint16>(p + 6);
    h.reserved2 = qFromLittleEndian<quint16>(p + 8);
    h.bitsOffset = qFromLittleEndian<quint32>(p + 10);
    return h;
}

QByteArray encodeFileHeader(const cDIB::FileHeader &h)
{
    QByteArray bytes(cDIB::kFileHeaderBytes, '\0');
    char *p = bytes.data();
    qToLittleEndian<quint16>(h.type, p);
    qToLittleEndian<quint32>(h.size, p + 2);
    qToLittleEndian<quint16>(h.reserved1, p + 6);
    qToLittleEndian<quint16>(h.reserved2, p + 8);
    qToLittleEndian<quint32>(h.bitsOffset, p + 10);
    return bytes;
}

// The pixel bytes of an uncompressed bitmap whose header leaves the image size at 0; -1 for a
// negative width or a size beyond any file (a damaged header's product would overflow).
qint64 uncompressedImageBytes(const cDIB::InfoHeader &h)
{
    const qint64 rowBytes = ((qint64(h.width) * h.bitCount + 31) / 32) * 4;
    const qint64 rows = h.height < 0 ? -qint64(h.height) : qint64(h.height);
    qint64 bytes = 0;
    if (rowBytes < 0 || __builtin_mul_overflow(rowBytes, rows, &bytes))
        return -1;
    return bytes;
}

} // namespace

bool cDIB::CreateFromPackedDIBPointer(QByteArrayView packed)
{
    if (packed.size() < kInfoHeaderBytes)
        return false;
    const InfoHeader info = decodeInfoHeader(packed.data());
    if (info.bitCount <= 15 || info.sizeImage == 0 ||
        qint64(info.sizeImage) > packed.size() - kInfoHeaderBytes)
        return false;
    m_info = info;
    m_bits = packed.sliced(kInfoHeaderBytes, info.sizeImage).toByteArray();
    m_bitmapInfo = packed.first(kInfoHeaderBytes).toByteArray();
    m_file.type = kBitmapType;
    m_file.size = kFileHeaderBytes + kInfoHeaderBytes + info.sizeImage;
    m_file.reserved1 = 0;
    m_file.reserved2 = 0;
    m_file.bitsOffset = kFileHeaderBytes + kInfoHeaderBytes;
    return true;
}

bool cDIB::CreateFromFile(const QString &path, Prompter &prompter)
{
    if (!QFileInfo::exists(path)) {
        prompter.inform(withPath(kFileDoesNotExist, path), MessageIcon::Critical,
                        kApplicationTitle);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || QFileInfo(path).isDir()) {
        if (file.error() == QFileDevice::PermissionsError)
            prompter.inform(withPath(kFileIsLocked, path), MessageIcon::Critical,
                            kApplicationTitle);
        else
            prompter.inform(file.errorString(), MessageIcon::Information, kApplicationTitle);
        return false;
    }
    if (!CreateFromDevice(file)) {
        prompter.inform(withPath(kNotSupportedBitmap, path), MessageIcon::Information,
                        kApplicationTitle);
        return false;
    }
    return true;
}

bool cDIB::CreateFromDevice(QIODevice &device)
{
    const qint64 total = device.size();
    if (total < kFileHeaderBytes + kInfoHeaderBytes || !device.seek(0))
        return false;
    const QByteArray headers = device.read(kFileHeaderBytes + kInfoHeaderBytes);
    if (headers.size() != kFileHeaderBytes + kInfoHeaderBytes)
        return false;
    const FileHeader file = decodeFileHeader(headers.constData());
    if (file.type != kBitmapType)
        return false;
    const InfoHeader info = decodeInfoHeader(headers.constData() + kFileHeaderBytes);

    // The pixel bytes and the bitmap-info bytes must lie inside the file; a header that
    // promises more than the file holds is a damaged file, not a reason to allocate.
    const qint64 offset = file.bitsOffset;
    if (info.size < std::uint32_t(kInfoHeaderBytes) || offset < kFileHeaderBytes + info.size ||
        offset > total)
        return false;
    qint64 imageBytes = info.sizeImage;
    if (imageBytes == 0 && info.compression == 0)
        imageBytes = uncompressedImageBytes(info);
    if (imageBytes < 0 || imageBytes > total - offset)
        return false;

    QByteArray bitmapInfo(offset - kFileHeaderBytes, Qt::Uninitialized);
    QByteArray bits(imageBytes, Qt::Uninitialized);
    if (!device.seek(kFileHeaderBytes) ||
        device.read(bitmapInfo.data(), bitmapInfo.size()) != bitmapInfo.size() ||
        !device.seek(offset) || device.read(bits.data(), bits.size()) != bits.size())
        return false;
    m_file = file;
    m_info = info;
    m_bitmapInfo = bitmapInfo;
    m_bits = bits;
    return true;
}

QByteArray cDIB::fileBytes() const
{
    return encodeFileHeader(m_file) + m_bitmapInfo + m_bits;
}

bool cDIB::WriteToFile(const QString &path) const
{
    // Written aside and renamed into place, so a reader never sees half a picture and a
    // failed write keeps the earlier file.
    return !replaceFileBytes(path, fileBytes());
}

} // namespace skelvin
