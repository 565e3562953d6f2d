#pragma once

#include <QString>

// Number and text conversions shared by every file, message and screen of the system.
namespace skelvin {

// Decimal text of a number: at most 15 significant digits, no trailing zeros, no leading zero
// below 1 (".5", "-.25"), E notation with a sign and two or more exponent digits for very small
// or very large magnitudes ("1.23E-05", "1E+15"). A negative value starts with "-".
QString bareNumberText(double value);

// Str: one leading blank when the value is not negative (" 45.1", "-3").
QString Str(double value);

// CStr: the same text without the sign blank ("45.1", "-3").
QString CStr(double value);

// A number as printed into a text file: Str followed by one trailing blank (" 3375 ").
QString printedNumber(double value);

// Val: the leading number of a text, 0 when there is none. Leading blanks are skipped;
// "45.1m" gives 45.1, "" gives 0, "abc" gives 0.
double Val(const QString &text);

// Reads a whole field as a number in any of the forms bareNumberText writes (surrounding
// blanks allowed). Returns false when the field is empty or holds anything else.
bool parseNumberField(const QString &field, double *value);

// Int: the floor, so Int(-2.5) is -3 (survey coordinates can be negative).
double Int(double value);

// A number read from a file or typed, as a whole number: the fraction cut off (toward zero), NaN
// as 0, and values beyond the range of int held at its ends, so a damaged file or a wild entry
// never overflows.
int wholeNumber(double value);

// Rounds to the nearest whole number, halves to the even neighbour (30.5 -> 30, 31.5 -> 32).
double roundHalfEven(double value);

// A whole number typed into a box: the nearest, halves to even ("29.97" gives 30, "12.5" gives
// 12), held at the ends of the range of int so a wild entry never overflows.
int roundedEntry(const QString &text);

// Half up to the given number of decimals: Int(value * 10^decimals + 0.5) / 10^decimals.
double roundHalfUp(double value, int decimals);

} // namespace skelvin
