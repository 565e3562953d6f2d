#include "core/common/NumberText.h"

#include <gtest/gtest.h>

using namespace skelvin;

TEST(NumberText, PrintedNumbersTakeTheTextFileForm)
{
    EXPECT_EQ(printedNumber(3375), QStringLiteral(" 3375 "));
    EXPECT_EQ(printedNumber(0.5), QStringLiteral(" .5 "));
    EXPECT_EQ(printedNumber(-0.25), QStringLiteral("-.25 "));
    EXPECT_EQ(printedNumber(0.0000123), QStringLiteral(" 1.23E-05 "));
    EXPECT_EQ(printedNumber(0), QStringLiteral(" 0 "));
    EXPECT_EQ(printedNumber(48.2), QStringLiteral(" 48.2 "));
    EXPECT_EQ(printedNumber(-61.75), QStringLiteral("-61.75 "));
}
