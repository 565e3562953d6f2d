#include "core/common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace skelvin {

QString bareNumberText(double value)
{
    if (value == 0.0 || std::isnan(value))
        return QStringLiteral("0");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("1E+308") : QStringLiteral("-1E+308");

    // %.15G gives the 15 significant digits without trailing zeros and switches to E notation
    // below 1E-04 and from 1E+15 on, the same thresholds the text files have always used.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);

    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    else if (text.rfind("-0.", 0) == 0)
        text.erase(1, 1);
    return QString::fromLatin1(text.c_str());
}

QString Str(double value)
{
    const QString text = bareNumberText(value);
    return text.startsWith(QLatin1Char('-')) ? text : QLatin1Char(' ') + text;
}

QString CStr(double value)
{
    return bareNumberText(value);
}

QString printedNumber(double value)
{
    return Str(value) + QLatin1Char(' ');
}

namespace {

// Length of the number that starts at position start of text, 0 when none does.
// Accepts an optional sign, digits with one optional ".", and an exponent "E" or "D".
qsizetype numberLength(const QString &text, qsizetype start)
{
    qsizetype i = start;
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e')
                  || text[i] == QLatin1Char('D') || text[i] == QLatin1Char('d'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        qsizetype expDigits = 0;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    return i - start;
}

double toDouble(const QString &numberText)
{
    QByteArray latin = numberText.toLatin1();
    for (char &c : latin) {
        if (c == 'D' || c == 'd')
            c = 'E';
    }
    return std::strtod(latin.constData(), nullptr);
}

qsizetype skipBlanks(const QString &text, qsizetype i)
{
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    return i;
}

} // namespace

double Val(const QString &text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0)
        return 0.0;
    const double value = toDouble(text.mid(start, length));
    return std::isfinite(value) ? value : 0.0;
}

bool parseNumberField(const QString &field, double *value)
{
    const QString trimmed = field.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (numberLength(trimmed, 0) != trimmed.size())
        return false;
    const double parsed = toDouble(trimmed);
    if (!std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

double Int(double value)
{
    return std::floor(value);
}

int wholeNumber(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(value), kLow, kHigh));
}

int roundedEntry(const QString &text)
{
    return wholeNumber(roundHalfEven(Val(text)));
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

double roundHalfUp(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return Int(value * scale + 0.5) / scale;
}

} // namespace skelvin
