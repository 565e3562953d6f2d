#include "core/common/ArrowKeyState.h"
#include "core/common/PictureSize.h"

#include <gtest/gtest.h>

using namespace skelvin;

TEST(ArrowKeyState, FirstHeldKeyInTheOrderLeftUpRightDownWins)
{
    ArrowKeyState keys;
    EXPECT_FALSE(keys.poll().has_value());
    keys.press(ArrowKey::Up);
    keys.press(ArrowKey::Left);
    EXPECT_EQ(keys.poll(), ArrowKey::Left);
    EXPECT_EQ(keys.poll(), ArrowKey::Left); // held: one step per tick
    keys.release(ArrowKey::Left);
    EXPECT_EQ(keys.poll(), ArrowKey::Up);
    keys.release(ArrowKey::Up);
    EXPECT_FALSE(keys.poll().has_value());

    // A tap between two ticks still counts once.
    keys.press(ArrowKey::Down);
    keys.release(ArrowKey::Down);
    EXPECT_EQ(keys.poll(), ArrowKey::Down);
    EXPECT_FALSE(keys.poll().has_value());
}

TEST(PictureSize, TwipsComeFromTheRoundedHimetricSize)
{
    // 800 pixels: 800 * 2540 / 96 = 21166.67 -> 21167 HIMETRIC -> * 15 / 26.5
    EXPECT_DOUBLE_EQ(pictureTwips(800), 21167.0 * 15 / 26.5);
    EXPECT_EQ(pictureTwipsText(800), QStringLiteral("11981.320754717"));
    EXPECT_DOUBLE_EQ(pictureTwips(0), 0.0);
}
