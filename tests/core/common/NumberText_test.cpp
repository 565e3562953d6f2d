#include "core/common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace skelvin;

TEST(NumberText, PrintedNumbersTakeTheTextFileForm)
{
    EXPECT_EQ(printedNumber(3375), QStringLiteral(" 3375 "));
    EXPECT_EQ(printedNumber(0.5), QStringLiteral(" .5 "));
    EXPECT_EQ(printedNumber(-0.25), QStringLiteral("-.25 "));
    EXPECT_EQ(printedNumber(0.0000123), QStringLiteral(" 1.23E-05 "));
    EXPECT_EQ(printedNumber(-0.0000123), QStringLiteral("-1.23E-05 "));
    EXPECT_EQ(printedNumber(0.0001), QStringLiteral(" .0001 "));
    EXPECT_EQ(printedNumber(1e15), QStringLiteral(" 1E+15 "));
    EXPECT_EQ(printedNumber(123456789012345.0), QStringLiteral(" 123456789012345 "));
    EXPECT_EQ(printedNumber(0), QStringLiteral(" 0 "));
    EXPECT_EQ(printedNumber(-61.75), QStringLiteral("-61.75 "));
    // 15 significant digits, trailing zeros dropped.
    EXPECT_EQ(printedNumber(1.0 / 3.0), QStringLiteral(" .333333333333333 "));
    EXPECT_EQ(printedNumber(2.0 / 3.0 * 100), QStringLiteral(" 66.6666666666667 "));
}

TEST(NumberText, StrCarriesTheSignBlankAndCStrDoesNot)
{
    EXPECT_EQ(Str(45.1), QStringLiteral(" 45.1"));
    EXPECT_EQ(Str(45), QStringLiteral(" 45"));
    EXPECT_EQ(Str(-3), QStringLiteral("-3"));
    EXPECT_EQ(CStr(45.1), QStringLiteral("45.1"));
    EXPECT_EQ(CStr(-0.5), QStringLiteral("-.5"));
}

TEST(NumberText, ValTakesTheLeadingNumber)
{
    EXPECT_EQ(Val(QStringLiteral("45.1m")), 45.1);
    EXPECT_EQ(Val(QStringLiteral("  -3.5 ft")), -3.5);
    EXPECT_EQ(Val(QString()), 0.0);
    EXPECT_EQ(Val(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(Val(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(Val(QStringLiteral("1.23E-05")), 1.23e-05);
    EXPECT_EQ(Val(QStringLiteral("12e")), 12.0);
    EXPECT_EQ(Val(QStringLiteral("-")), 0.0);
}

TEST(NumberText, NumberFieldsAcceptEveryWrittenFormAndNothingElse)
{
    for (double v : {3375.0, 0.5, -0.25, 0.0000123, -1e20, 48.2, 0.0}) {
        double read = -999;
        ASSERT_TRUE(parseNumberField(printedNumber(v), &read)) << printedNumber(v).toStdString();
        EXPECT_EQ(read, v);
    }
    double v = 0;
    EXPECT_FALSE(parseNumberField(QStringLiteral(""), &v));
    EXPECT_FALSE(parseNumberField(QStringLiteral(" 12abc "), &v));
    EXPECT_FALSE(parseNumberField(QStringLiteral("auto"), &v));
    EXPECT_FALSE(parseNumberField(QStringLiteral("1e999"), &v));
}

TEST(NumberText, IntIsTheFloorAndHalvesGoToEven)
{
    EXPECT_EQ(Int(-2.5), -3.0);
    EXPECT_EQ(Int(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(30000.0 / 1001.0), 30.0);
    EXPECT_EQ(roundHalfEven(30.5), 30.0);
    EXPECT_EQ(roundHalfEven(31.5), 32.0);
    EXPECT_EQ(roundHalfUp(45.05, 1), 45.1);
    EXPECT_EQ(roundHalfUp(45.04, 1), 45.0);
    EXPECT_EQ(roundHalfUp(-0.05, 1), 0.0);
}

// A damaged grid or side file can hold any number where a whole one belongs (a grid number of
// 1.4e14 was found by fuzzing): it is held inside int instead of overflowing.
TEST(NumberText, WholeNumbersFromOutsideNeverOverflow)
{
    EXPECT_EQ(wholeNumber(123.9), 123);
    EXPECT_EQ(wholeNumber(-2.5), -2);
    EXPECT_EQ(wholeNumber(1.38601e14), std::numeric_limits<int>::max());
    EXPECT_EQ(wholeNumber(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(wholeNumber(std::nan("")), 0);
}

TEST(NumberText, TypedWholeNumbersRoundHalvesToEvenAndStayInRange)
{
    EXPECT_EQ(roundedEntry(QStringLiteral("29.97")), 30);
    EXPECT_EQ(roundedEntry(QStringLiteral("12.5")), 12);
    EXPECT_EQ(roundedEntry(QStringLiteral("13.5")), 14);
    EXPECT_EQ(roundedEntry(QStringLiteral("-2.5")), -2);
    EXPECT_EQ(roundedEntry(QString()), 0);
    // A wild entry is held at the ends of int instead of overflowing.
    EXPECT_EQ(roundedEntry(QStringLiteral("99999999999")), std::numeric_limits<int>::max());
    EXPECT_EQ(roundedEntry(QStringLiteral("-99999999999")), std::numeric_limits<int>::min());
}
