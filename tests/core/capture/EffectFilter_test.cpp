#include "core/capture/recording/VideoEffectFilter.h"
#include "core/simulation/SimulatedScene.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <gtest/gtest.h>

#include <cmath>

using namespace skelvin;

namespace {

const QSize kSize(320, 240);

// A frame of the simulated view in rgb24 or bgr0.
ffmpeg::Frame viewFrame(AVPixelFormat format)
{
    const QImage picture = SimulatedScene().render(
        kSize, 1.0, 2.1, 7,
        format == AV_PIX_FMT_RGB24 ? QImage::Format_RGB888 : QImage::Format_RGB32);
    ffmpeg::Frame frame(av_frame_alloc());
    frame->width = kSize.width();
    frame->height = kSize.height();
    frame->format = format;
    EXPECT_GE(av_frame_get_buffer(frame.get(), 32), 0);
    for (int y = 0; y < kSize.height(); ++y)
        std::memcpy(frame->data[0] + y * frame->linesize[0], picture.constScanLine(y),
                    size_t(picture.bytesPerLine()));
    return frame;
}

// Brightness of every pixel of an rgb24 frame.
std::vector<double> lumas(const AVFrame &f)
{
    std::vector<double> out;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const uint8_t *p = f.data[0] + y * f.linesize[0] + 3 * x;
            out.push_back(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
        }
    return out;
}

double spread(const std::vector<double> &v)
{
    double mean = 0, square = 0;
    for (double x : v)
        mean += x;
    mean /= double(v.size());
    for (double x : v)
        square += (x - mean) * (x - mean);
    return std::sqrt(square / double(v.size()));
}

int differingBytes(const AVFrame &a, const AVFrame &b, int bytesPerPixel)
{
    int n = 0;
    for (int y = 0; y < a.height; ++y)
        n += std::memcmp(a.data[0] + y * a.linesize[0], b.data[0] + y * b.linesize[0],
                         size_t(a.width * bytesPerPixel)) != 0;
    return n;
}

} // namespace

TEST(EffectFilter, NoneHandsTheFrameOnUntouched)
{
    EXPECT_EQ(VideoEffectFilter::effectNames(),
              (QStringList{"Grey", "Stronger contrast", "Sharpen"}));
    VideoEffectFilter filter;
    EXPECT_EQ(filter.effect(), -1);
    const ffmpeg::Frame in = viewFrame(AV_PIX_FMT_RGB24);
    QString error;
    const ffmpeg::Frame out = filter.apply(*in, error);
    ASSERT_TRUE(out) << error.toStdString();
    EXPECT_EQ(out->data[0], in->data[0]); // the same picture, not a copy
    ASSERT_FALSE(filter.configure(0, kSize, AV_PIX_FMT_RGB24));
    ASSERT_FALSE(filter.configure(-1, kSize, AV_PIX_FMT_RGB24));
    EXPECT_EQ(filter.apply(*in, error)->data[0], in->data[0]);
}

TEST(EffectFilter, EachEffectChangesThePictureAndKeepsSizeAndFormat)
{
    const ffmpeg::Frame in = viewFrame(AV_PIX_FMT_RGB24);
    const double inSpread = spread(lumas(*in));
    for (int id = 0; id < 3; ++id) {
        VideoEffectFilter filter;
        ASSERT_FALSE(filter.configure(id, kSize, AV_PIX_FMT_RGB24)) << id;
        EXPECT_EQ(filter.effect(), id);
        QString error;
        const ffmpeg::Frame out = filter.apply(*in, error);
        ASSERT_TRUE(out) << error.toStdString();
        EXPECT_EQ(out->format, AV_PIX_FMT_RGB24);
        EXPECT_EQ(out->width, kSize.width());
        EXPECT_EQ(out->height, kSize.height());
        EXPECT_GT(differingBytes(*in, *out, 3), kSize.height() / 2) << id;
        if (id == 0) { // grey: every pixel's channels equal
            for (int y = 0; y < out->height; y += 7) {
                for (int x = 0; x < out->width; x += 5) {
                    const uint8_t *p = out->data[0] + y * out->linesize[0] + 3 * x;
                    ASSERT_NEAR(p[0], p[1], 1);
                    ASSERT_NEAR(p[1], p[2], 1);
                }
            }
        }
        if (id == 1 || id == 2) { // stronger contrast and sharpening spread the shades
            EXPECT_GT(spread(lumas(*out)), inSpread) << id;
        }
        // A second frame through the same graph works as well.
        EXPECT_TRUE(filter.apply(*in, error)) << error.toStdString();
    }
}

TEST(EffectFilter, WrongIdOrFrameIsToldAndBgr0Works)
{
    VideoEffectFilter filter;
    EXPECT_EQ(filter.configure(7, kSize, AV_PIX_FMT_RGB24),
              QStringLiteral("There is no effect number 7"));
    EXPECT_EQ(filter.effect(), -1);

    ASSERT_FALSE(filter.configure(0, kSize, AV_PIX_FMT_BGR0));
    const ffmpeg::Frame bgr = viewFrame(AV_PIX_FMT_BGR0);
    QString error;
    const ffmpeg::Frame grey = filter.apply(*bgr, error);
    ASSERT_TRUE(grey) << error.toStdString();
    EXPECT_EQ(grey->format, AV_PIX_FMT_BGR0);
    EXPECT_GT(differingBytes(*bgr, *grey, 4), 0);

    const ffmpeg::Frame rgb = viewFrame(AV_PIX_FMT_RGB24);
    EXPECT_FALSE(filter.apply(*rgb, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The effect was set up for 320 x 240 pictures")))
        << error.toStdString();
}
