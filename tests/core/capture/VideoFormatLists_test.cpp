#include "core/capture/VideoFormatLists.h"

#include <gtest/gtest.h>

namespace skelvin {
namespace {

VideoFormatOffer offer(const char *pixelFormat, const char *description, QSize size,
                       std::vector<double> rates)
{
    return {QString::fromLatin1(pixelFormat), QString::fromLatin1(description), size, rates};
}

// A camera with YUYV at two sizes and Motion JPEG at three, in the order the device lists them.
std::vector<VideoFormatOffer> cameraOffers()
{
    return {offer("yuyv422", "YUYV 4:2:2", {640, 480}, {30, 15}),
            offer("mjpeg", "", {1280, 720}, {60, 30}),
            offer("yuyv422", "YUYV 4:2:2", {320, 240}, {30}), offer("mjpeg", "", {640, 480}, {30}),
            offer("mjpeg", "", {1920, 1080}, {30})};
}

TEST(VideoFormatLists, ListsFollowTheChosenColourFormatAndKeepTheSizeWhereOffered)
{
    VideoFormatLists lists;
    EXPECT_EQ(lists.format(30).pixelFormat, QString()) << "nothing offered yet";
    EXPECT_EQ(lists.nearestSize({640, 480}), -1);

    lists.setOffers(cameraOffers());
    ASSERT_EQ(lists.colourFormatCount(), 2);
    EXPECT_EQ(lists.colourFormatName(0), QStringLiteral("YUYV 4:2:2"));
    EXPECT_EQ(lists.colourFormatName(1), QStringLiteral("mjpeg")) << "no words of its own";
    EXPECT_EQ(lists.sizeCount(), 2);
    EXPECT_EQ(lists.size(1), QSize(320, 240));
    EXPECT_EQ(lists.size(2), QSize());

    // 640 x 480 is offered in Motion JPEG too: it stays chosen.
    lists.chooseColourFormat(1);
    ASSERT_EQ(lists.sizeCount(), 3);
    EXPECT_EQ(lists.format(25).size, QSize(640, 480));
    EXPECT_EQ(lists.format(25).pixelFormat, QStringLiteral("mjpeg"));
    EXPECT_DOUBLE_EQ(lists.format(25).framesPerSecond, 25);

    // 1920 x 1080 is not offered in YUYV: its first size.
    lists.chooseSize(2);
    lists.chooseColourFormat(0);
    EXPECT_EQ(lists.sizeIndex(), 0);

    lists.clear();
    EXPECT_EQ(lists.colourFormatCount(), 0);
    EXPECT_EQ(lists.sizeIndex(), -1);
}

TEST(VideoFormatLists, NearestRateAndSize)
{
    VideoFormatLists lists;
    lists.setOffers(cameraOffers());
    EXPECT_DOUBLE_EQ(lists.nearestRate(25), 30) << "640 x 480 YUYV offers 30 and 15";
    EXPECT_DOUBLE_EQ(lists.nearestRate(20), 15);
    lists.chooseColourFormat(1);
    lists.chooseSize(lists.nearestSize({1280, 700}));
    EXPECT_EQ(lists.format(30).size, QSize(1280, 720));
    EXPECT_DOUBLE_EQ(lists.nearestRate(50), 60);
    EXPECT_EQ(lists.nearestSize({2000, 1200}), 2);
}

} // namespace
} // namespace skelvin
