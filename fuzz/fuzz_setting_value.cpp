// SPDX-License-Identifier: GPL-3.0-or-later
// The typed reads on any text, and every typed value through its written form and back.
//
// Input: a few bytes for a flag, a colour and a twips number (taken from the end), the rest is
// the text that all three reads are given.
#include "FuzzCheck.h"
#include "settings/SettingValue.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

namespace {
bool sameFloat(float a, float b)
{
    std::uint32_t bitsA = 0;
    std::uint32_t bitsB = 0;
    std::memcpy(&bitsA, &a, sizeof a);
    std::memcpy(&bitsB, &b, sizeof b);
    return bitsA == bitsB;
}

void checkTwips(float value)
{
    const QString written = SettingValue::fromTwips(value);
    const std::optional<float> back = SettingValue::toTwips(written);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(!back, "infinity or NaN never reads as a number");
        return;
    }
    if (!back || !sameFloat(*back, value))
        fuzzShow("written", written);
    FUZZ_CHECK(back && sameFloat(*back, value), "twips read back exactly");
    FUZZ_CHECK(!written.contains(u'e') && !written.contains(u'E'), "twips are written plainly");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto flag = provider.ConsumeIntegral<qint16>();
    const auto colour = provider.ConsumeIntegral<qint32>();
    const auto twipsBits = provider.ConsumeIntegral<std::uint32_t>();
    float twips = 0;
    std::memcpy(&twips, &twipsBits, sizeof twips);
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    FUZZ_CHECK(SettingValue::toFlag(SettingValue::fromFlag(flag)) == flag, "flag reads back");
    FUZZ_CHECK(SettingValue::toColour(SettingValue::fromColour(colour)) == colour,
               "colour reads back");
    checkTwips(twips);

    // Whatever a text reads as, writing that value and reading it again gives the same.
    if (const std::optional<qint16> read = SettingValue::toFlag(text))
        FUZZ_CHECK(SettingValue::toFlag(SettingValue::fromFlag(*read)) == read, "flag again");
    if (const std::optional<qint32> read = SettingValue::toColour(text))
        FUZZ_CHECK(SettingValue::toColour(SettingValue::fromColour(*read)) == read, "colour again");
    if (const std::optional<float> read = SettingValue::toTwips(text)) {
        FUZZ_CHECK(std::isfinite(*read), "twips read are finite");
        checkTwips(*read);
    }
    // A 16-bit flag is a 32-bit colour too.
    if (const std::optional<qint16> read = SettingValue::toFlag(text))
        FUZZ_CHECK(SettingValue::toColour(text) == qint32(*read), "a flag is a colour too");
    return 0;
}
