// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingValue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {
template <typename Integer> std::optional<Integer> toInteger(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<Integer>::min() ||
        value > std::numeric_limits<Integer>::max())
        return std::nullopt;
    return static_cast<Integer>(value);
}
} // namespace

std::optional<qint16> SettingValue::toFlag(const QString& text)
{
    return toInteger<qint16>(text);
}

std::optional<qint32> SettingValue::toColour(const QString& text)
{
    return toInteger<qint32>(text);
}

std::optional<float> SettingValue::toTwips(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

QString SettingValue::fromFlag(qint16 value)
{
    return QString::number(value);
}

QString SettingValue::fromColour(qint32 value)
{
    return QString::number(value);
}

QString SettingValue::fromTwips(float value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
