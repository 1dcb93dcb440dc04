// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsKeys.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

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
    // The one date it fires on instead of its days, as stored (YYYY-MM-DD); empty: its days.
    QString date;

    // A date written as YYYY-MM-DD that exists; nothing for anything else.
    static std::optional<QDate> dateOf(const QString& text);
    // The date it fires on once, if it has one that can be read (one that cannot counts as
    // none: the alarm repeats on its days).
    std::optional<QDate> onceDate() const { return dateOf(date); }
    // It fires once on a date, and that date at its time has come by: it arms nothing more.
    bool isPast(const QDateTime& now) const;
    // "once on 2026-12-24", with ", past: it arms nothing" once it has passed; empty for an
    // alarm that repeats on its days. As the row, the tooltip and the command line say it.
    QString dateNote(const QDateTime& now) const;

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
