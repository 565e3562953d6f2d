#include "core/simulation/FrameNumberStrip.h"
#include "core/simulation/SimulatedScene.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

using namespace skelvin;

namespace {

QImage throughJpeg(const QImage &picture, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(picture));
    return QImage::fromData(bytes, "jpeg");
}

} // namespace

TEST(SimulatedFrameStrip, NumbersReadBackFromTheRenderedViewAlsoAfterMotionJpeg)
{
    const SimulatedScene scene;
    for (int number : {0, 1, 2, 59, 60, 255, 256, 0x5A5A, 0xA5A5, 65535}) {
        const QImage picture = scene.render(QSize(640, 480), number / 30.0, std::nullopt, number);
        EXPECT_EQ(readFrameNumberStrip(picture), number);
        EXPECT_EQ(readFrameNumberStrip(throughJpeg(picture, 25)), number);
    }
}

TEST(SimulatedFrameStrip, BlocksSitAlongTheTopEdgeMostSignificantBitFirst)
{
    QImage picture(200, 20, QImage::Format_RGB888);
    picture.fill(QColor(90, 90, 90));
    drawFrameNumberStrip(picture, 0x8001);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255)); // bit 15, top-left block
    EXPECT_EQ(picture.pixel(7, 7), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(8, 0), qRgb(0, 0, 0));         // bit 14
    EXPECT_EQ(picture.pixel(120, 7), qRgb(255, 255, 255)); // bit 0, the 16th block
    EXPECT_EQ(picture.pixel(128, 0), qRgb(90, 90, 90));    // nothing beyond the strip
    EXPECT_EQ(picture.pixel(0, 8), qRgb(90, 90, 90));      // nor below it
    EXPECT_EQ(readFrameNumberStrip(picture), 0x8001);
    EXPECT_EQ(readFrameNumberStrip(QImage(100, 20, QImage::Format_RGB32)), -1);
}
