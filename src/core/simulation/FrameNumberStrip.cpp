#include "core/simulation/FrameNumberStrip.h"

#include <QColor>

#include <cstring>

namespace skelvin {

void drawFrameNumberStrip(QImage &picture, int frameNumber)
{
    if (picture.width() < kFrameStripBlocks * kFrameStripBlockPixels ||
        picture.height() < kFrameStripBlockPixels)
        return;
    const unsigned bits = static_cast<unsigned>(frameNumber) & 0xFFFFu;
    const int bytesPerPixel = picture.depth() / 8;
    const bool packed =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32 ||
        picture.format() == QImage::Format_RGB888 || picture.format() == QImage::Format_BGR888;
    for (int block = 0; block < kFrameStripBlocks; ++block) {
        const bool one = (bits >> (kFrameStripBlocks - 1 - block)) & 1u;
        const int left = block * kFrameStripBlockPixels;
        for (int y = 0; y < kFrameStripBlockPixels; ++y) {
            if (packed) {
                // Black and white have equal bytes in every channel order, alpha included.
                uchar *row = picture.scanLine(y) + left * bytesPerPixel;
                std::memset(row, one ? 0xFF : 0x00,
                            static_cast<size_t>(kFrameStripBlockPixels * bytesPerPixel));
                if (!one && bytesPerPixel == 4) {
                    for (int x = 0; x < kFrameStripBlockPixels; ++x)
                        row[x * 4 + 3] = 0xFF; // opaque black
                }
            } else {
                for (int x = 0; x < kFrameStripBlockPixels; ++x)
                    picture.setPixelColor(left + x, y, one ? Qt::white : Qt::black);
            }
        }
    }
}

int readFrameNumberStrip(const QImage &picture)
{
    if (picture.width() < kFrameStripBlocks * kFrameStripBlockPixels ||
        picture.height() < kFrameStripBlockPixels)
        return -1;
    int number = 0;
    for (int block = 0; block < kFrameStripBlocks; ++block) {
        const int left = block * kFrameStripBlockPixels;
        int sum = 0;
        for (int y = 2; y < 6; ++y)
            for (int x = 2; x < 6; ++x)
                sum += qGray(picture.pixel(left + x, y));
        number = (number << 1) | (sum / 16 >= 128 ? 1 : 0);
    }
    return number;
}

} // namespace skelvin
