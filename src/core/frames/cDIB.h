#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <cstdint>

namespace skelvin {

class Prompter;

// One device-independent bitmap: the 14-byte bitmap file header, the 40-byte info header, the
// bitmap-info bytes (info header plus any colour table) and the pixel bytes. Frame selection
// builds one from a decoded frame and writes it as the frame picture.
class cDIB
{
public:
    // The 14-byte file header, "BM" first.
    struct FileHeader
    {
        std::uint16_t type = 0;
        std::uint32_t size = 0;
        std::uint16_t reserved1 = 0;
        std::uint16_t reserved2 = 0;
        std::uint32_t bitsOffset = 0;
    };

    // The 40-byte info header.
    struct InfoHeader
    {
        std::uint32_t size = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint16_t planes = 0;
        std::uint16_t bitCount = 0;
        std::uint32_t compression = 0;
        std::uint32_t sizeImage = 0;
        std::int32_t xPelsPerMeter = 0;
        std::int32_t yPelsPerMeter = 0;
        std::uint32_t clrUsed = 0;
        std::uint32_t clrImportant = 0;
    };

    static constexpr std::uint16_t kBitmapType = 19778; // "BM"
    static constexpr int kFileHeaderBytes = 14;
    static constexpr int kInfoHeaderBytes = 40;

    // A packed bitmap: the 40-byte info header followed straight by the pixel bytes. Only
    // bitmaps of more than 15 bits per pixel with a non-zero image size are taken; anything
    // else (or bytes too short to hold the image) gives false and leaves the object as it was.
    bool CreateFromPackedDIBPointer(QByteArrayView packed);

    // Reads a bitmap file. A missing file gives "File does not exist:", an unreadable one
    // "File is locked - cannot access:" or the system's description, a file that is not a
    // whole "BM" bitmap "File is not a supported bitmap format:", each with the path.
    bool CreateFromFile(const QString &path, Prompter &prompter);

    // The bitmap bytes of an open device, without telling anyone: false for anything that is
    // not a whole "BM" bitmap. The object is changed only on success.
    bool CreateFromDevice(QIODevice &device);

    // Writes the file header, the bitmap-info bytes and the pixel bytes. False when the file
    // cannot be written completely.
    bool WriteToFile(const QString &path) const;

    // The file's bytes as WriteToFile writes them.
    QByteArray fileBytes() const;

    std::uint16_t BitCount() const { return m_info.bitCount; }
    std::int32_t Height() const { return m_info.height; }
    std::int32_t Width() const { return m_info.width; }
    std::uint32_t Compression() const { return m_info.compression; }
    std::uint32_t SizeInfoHeader() const { return m_info.size; }
    std::uint32_t SizeImage() const { return m_info.sizeImage; }
    std::uint16_t Planes() const { return m_info.planes; }
    std::uint32_t ClrImportant() const { return m_info.clrImportant; }
    std::uint32_t ClrUsed() const { return m_info.clrUsed; }
    std::int32_t XPPM() const { return m_info.xPelsPerMeter; }
    std::int32_t YPPM() const { return m_info.yPelsPerMeter; }
    std::uint16_t FileType() const { return m_file.type; }
    std::uint32_t SizeFileHeader() const { return m_file.size; }
    std::uint32_t BitOffset() const { return m_file.bitsOffset; }
    const char *PointerToBits() const { return m_bits.constData(); }
    const char *PointerToBitmapInfo() const { return m_bitmapInfo.constData(); }
    std::uint32_t SizeBitmapInfo() const { return std::uint32_t(m_bitmapInfo.size()); }

private:
    FileHeader m_file;
    InfoHeader m_info;
    QByteArray m_bitmapInfo;
    QByteArray m_bits;
};

} // namespace skelvin
