// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourValue.h"

#include <algorithm>
#include <limits>

namespace {
bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The digit's value in the given base, or -1.
int digitValue(QChar c, int base)
{
    int value = -1;
    if (isDecimalDigit(c))
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c.unicode() - u'A' + 10;
    return value < base ? value : -1;
}

qint32 bitPattern(const QString& s, qsizetype pos, int base, int bitsPerDigit)
{
    quint32 bits = 0;
    for (; pos < s.size(); ++pos) {
        const int digit = digitValue(s[pos], base);
        if (digit < 0)
            break;
        bits = (bits << bitsPerDigit) | quint32(digit);
    }
    return qint32(bits);
}

// Exact decimal rounding on the digits themselves: no detour through a double, whose own
// rounding could turn 0.49999999999999999999 into a half, and whose range ends near 1e308.
qint32 decimal(const QString& s)
{
    qsizetype pos = 0;
    const bool negative = pos < s.size() && s[pos] == u'-';
    if (pos < s.size() && (s[pos] == u'-' || s[pos] == u'+'))
        ++pos;

    QString digits;
    qint64 pointAfter = 0; // the decimal point sits after this many of the digits
    for (; pos < s.size() && isDecimalDigit(s[pos]); ++pos) {
        digits += s[pos];
        ++pointAfter;
    }
    if (pos < s.size() && s[pos] == u'.')
        for (++pos; pos < s.size() && isDecimalDigit(s[pos]); ++pos)
            digits += s[pos];
    if (digits.isEmpty())
        return 0;

    // An exponent counts only with at least one digit: "1e" and "1e+" read as 1.
    if (pos < s.size() && (s[pos] == u'e' || s[pos] == u'E')) {
        qsizetype at = pos + 1;
        const bool negativeExponent = at < s.size() && s[at] == u'-';
        if (at < s.size() && (s[at] == u'-' || s[at] == u'+'))
            ++at;
        const qsizetype exponentStart = at;
        // Far beyond any text's length, so holding the exponent there changes no result.
        constexpr qint64 exponentCap = qint64(1) << 40;
        qint64 exponent = 0;
        for (; at < s.size() && isDecimalDigit(s[at]); ++at)
            exponent = std::min(exponent * 10 + (s[at].unicode() - u'0'), exponentCap);
        if (at > exponentStart)
            pointAfter += negativeExponent ? -exponent : exponent;
    }

    // Zeros in front and behind change nothing but where the point sits.
    qsizetype leadingZeros = 0;
    while (leadingZeros < digits.size() && digits[leadingZeros] == u'0')
        ++leadingZeros;
    digits.remove(0, leadingZeros);
    pointAfter -= leadingZeros;
    while (!digits.isEmpty() && digits.back() == u'0')
        digits.chop(1);
    if (digits.isEmpty())
        return 0;

    constexpr qint64 low = std::numeric_limits<qint32>::min();
    constexpr qint64 high = std::numeric_limits<qint32>::max();
    if (pointAfter > 10) // at least 10^10, beyond either end
        return qint32(negative ? low : high);

    qint64 magnitude = 0;
    for (qint64 i = 0; i < pointAfter; ++i)
        magnitude = magnitude * 10 + (i < digits.size() ? digits[i].unicode() - u'0' : 0);
    // A zero between the point and the first digit leaves less than a tenth. Trailing zeros
    // are gone, so any digit after the first fraction digit makes the fraction more than it.
    if (pointAfter >= 0 && pointAfter < digits.size()) {
        const QChar first = digits[pointAfter];
        const bool more = digits.size() > pointAfter + 1;
        if (first > u'5' || (first == u'5' && (more || magnitude % 2 == 1)))
            ++magnitude;
    }
    return qint32(std::clamp(negative ? -magnitude : magnitude, low, high));
}
} // namespace

qint32 colourValueOf(const QString& text)
{
    QString s = text;
    s.removeIf(isIgnored);
    if (s.startsWith(u'&')) {
        if (s.size() < 2)
            return 0;
        if (s[1] == u'H' || s[1] == u'h')
            return bitPattern(s, 2, 16, 4);
        if (s[1] == u'O' || s[1] == u'o')
            return bitPattern(s, 2, 8, 3);
        return 0;
    }
    return decimal(s);
}
