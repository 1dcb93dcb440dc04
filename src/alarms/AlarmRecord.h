// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSlot.h"
#include "notify/Announcement.h"
#include "settings/SettingsKeys.h"

#include <span>

class SettingsStore;

// The fields of the alarm record, one line each in AlarmRecord.cpp: the key family it is
// stored under, where AlarmSlot keeps it (a flag or a text), where an alarm's announcement
// carries it, and when OK writes it. Reading the store, the rows of the alarm settings window,
// OK's writes and the announcement all go by this table, so a new field is one more line.
namespace AlarmRecord {
struct Field
{
    SettingsKeys::AlarmField key;
    // Exactly one of the two.
    qint16 AlarmSlot::*flag = nullptr;
    QString AlarmSlot::*text = nullptr;
    // For the fields an alarm's notification window shows or acts on.
    qint16 Announcement::*announcedFlag = nullptr;
    QString Announcement::*announcedText = nullptr;
    // OK writes pass 0 alarm by alarm, the pass's fields in turn for each alarm; then each
    // later pass writes its field for alarms 1 to 10.
    int okPass = 0;
};

// In the order the alarm settings window loads its rows, which decides the states the rows
// come up in: a row's own tick box before the flags it enables, Run Command before Run Hidden.
std::span<const Field> fields();

// Every field of every alarm as the store holds it, unchecked.
AlarmSlots read(const SettingsStore& store);
// OK's writes of the alarm fields, in OK's order.
void write(SettingsStore& store, const AlarmSlots& alarms);
// What OK saves: each field as `shown` has it where the person changed it since `opened`,
// otherwise as `current` (the store by then) holds it, so that a hand edit of the file made
// while the window was open stays.
AlarmSlots edited(const AlarmSlots& opened, const AlarmSlots& shown, const AlarmSlots& current);
// The fields the table gives an alarm's announcement, from its slot.
void announce(const AlarmSlot& slot, Announcement& announcement);
} // namespace AlarmRecord
