// SPDX-License-Identifier: GPL-3.0-or-later
// The colour value of any entry text, and of numbers written in each of its forms.
//
// Input: numbers to build texts from come from the end, the rest is a text as typed.
#include "FuzzCheck.h"
#include "prefs/ColourValue.h"

#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>

namespace {
using Wide = __int128;

Wide powerOfTen(int exponent)
{
    Wide power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

// (sign) integer . fraction e exponent, rounded exactly, a half to even, then clamped.
qint32 expectedDecimal(bool negative, std::uint64_t integer, const QString& fraction, int exponent)
{
    Wide digits = integer;
    for (QChar c : fraction)
        digits = digits * 10 + (c.unicode() - u'0');
    const int shift = exponent - int(fraction.size());
    Wide magnitude = 0;
    if (shift >= 0) {
        magnitude = digits * powerOfTen(shift);
    } else {
        const Wide divisor = powerOfTen(-shift);
        magnitude = digits / divisor;
        const Wide twice = digits % divisor * 2;
        if (twice > divisor || (twice == divisor && magnitude % 2 == 1))
            ++magnitude;
    }
    const Wide value = negative ? -magnitude : magnitude;
    return qint32(std::clamp<Wide>(value, std::numeric_limits<qint32>::min(),
                                   std::numeric_limits<qint32>::max()));
}

void checkDecimal(FuzzedDataProvider& provider)
{
    const bool negative = provider.ConsumeBool();
    const auto integer = provider.ConsumeIntegralInRange<std::uint64_t>(0, 999'999'999'999);
    QString fraction;
    for (int n = provider.ConsumeIntegralInRange(0, 9); n > 0; --n)
        fraction += QChar(u'0' + provider.ConsumeIntegralInRange(0, 9));
    const bool withExponent = provider.ConsumeBool();
    const int exponent = withExponent ? provider.ConsumeIntegralInRange(-15, 15) : 0;
    const char after = "&;x)/ "[provider.ConsumeIntegralInRange(0, 5)];

    QString text = (negative ? QStringLiteral("-") : QString()) + QString::number(integer);
    if (!fraction.isEmpty() || provider.ConsumeBool())
        text += u'.' + fraction;
    if (withExponent)
        text +=
            (exponent >= 0 && provider.ConsumeBool() ? QStringLiteral("E+") : QStringLiteral("e")) +
            QString::number(exponent);
    text += QLatin1Char(after);

    const qint32 expected = expectedDecimal(negative, integer, fraction, exponent);
    if (colourValueOf(text) != expected)
        fuzzShow("text", text);
    FUZZ_CHECK(colourValueOf(text) == expected, "a decimal number rounds exactly");
}

void checkStoredForms(qint32 value)
{
    const auto bits = quint32(value);
    FUZZ_CHECK(colourValueOf(QString::number(value)) == value, "decimal form");
    FUZZ_CHECK(colourValueOf(QStringLiteral("&H%1&").arg(bits, 8, 16, QLatin1Char('0'))) == value,
               "stored hexadecimal form");
    FUZZ_CHECK(colourValueOf(QStringLiteral("&h%1").arg(bits, 0, 16).toUpper()) == value,
               "short hexadecimal form");
    FUZZ_CHECK(colourValueOf(QStringLiteral("&O%1&").arg(bits, 0, 8)) == value, "octal form");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    checkStoredForms(provider.ConsumeIntegral<qint32>());
    checkDecimal(provider);
    const auto blankAt = provider.ConsumeIntegral<std::uint16_t>();
    const QChar blank = QLatin1Char(" \t\n"[provider.ConsumeIntegralInRange(0, 2)]);
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    const qint32 value = colourValueOf(text);
    QString spaced = text;
    spaced.insert(text.isEmpty() ? 0 : blankAt % (text.size() + 1), blank);
    FUZZ_CHECK(colourValueOf(spaced) == value, "blanks anywhere change nothing");
    return 0;
}
