// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsKeys.h"

#include <QString>
#include <array>

class SettingsStore;

// One of the ten daily alarms; AlarmRecord ties each field to its key. Flags count as on only
// when they are exactly 1.
struct AlarmSlot
{
    qint16 enabled = 0;
    QString name;
    QString time;
    qint16 displayMessage = 0;
    QString message;
    qint16 autoClose = 0;
    qint16 runCommand = 0;
    QString command;
    qint16 runHidden = 0;
    // The days it fires on, as stored (see AlarmDays).
    QString days;
    // It rings: the alarm sound loops until its window is answered (once, without a window).
    qint16 ring = 0;

    // Switched on, yet firing would neither ring, open its window nor start its command. A file may
    // hold such an alarm and it still fires, doing nothing, so wherever it shows, it says so.
    bool doesNothing() const;
    // Why, as the windows and the command line say it.
    static QString doesNothingReason();

    bool operator==(const AlarmSlot&) const = default;
};

using AlarmSlots = std::array<AlarmSlot, SettingsKeys::alarmCount>;

// Reads all ten slots (see AlarmRecord). Days that cannot be read are said once on standard
// error; they count as every day.
AlarmSlots loadAlarmSlots(const SettingsStore& store);
