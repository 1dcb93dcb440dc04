// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class SettingKind
{
    Flag,
    Twips,
    Colour,
    Text,
    Minutes,
    Seconds,
    Percent
};

// A key of the settings store with the kind of value it holds and the value a reader gets
// when the key is missing or does not convert.
struct SettingKey
{
    QString name;
    SettingKind kind;
    QString defaultValue;
};
