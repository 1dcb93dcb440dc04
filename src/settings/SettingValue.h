// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// Conversions between stored texts and typed values. A text that does not convert yields
// nothing, and the reader falls back to the key's default.
namespace SettingValue {
std::optional<qint16> toFlag(const QString& text);
std::optional<float> toTwips(const QString& text);
std::optional<qint32> toColour(const QString& text);

QString fromFlag(qint16 value);
// Shortest text that reads back as the same single-precision number: 1000, not 1000.0.
QString fromTwips(float value);
QString fromColour(qint32 value);
} // namespace SettingValue
