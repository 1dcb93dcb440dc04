// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmRecord.h"

#include "settings/SettingsStore.h"

#include <algorithm>

using SettingsKeys::alarm;
using SettingsKeys::AlarmField;

namespace AlarmRecord {
namespace {
constexpr Field table[] = {
    {.key = AlarmField::TICKBOX, .flag = &AlarmSlot::enabled},
    {.key = AlarmField::NAME_TEXTBOX,
     .text = &AlarmSlot::name,
     .announcedText = &Announcement::name},
    {.key = AlarmField::TIME_TEXTBOX, .text = &AlarmSlot::time},
    {.key = AlarmField::DAYS, .text = &AlarmSlot::days, .okPass = 4},
    {.key = AlarmField::DATE, .text = &AlarmSlot::date, .okPass = 6},
    {.key = AlarmField::DISPLAY_MESSAGE_TICKBOX, .flag = &AlarmSlot::displayMessage, .okPass = 1},
    {.key = AlarmField::MESSAGE_TEXTBOX,
     .text = &AlarmSlot::message,
     .announcedText = &Announcement::message},
    {.key = AlarmField::RUN_COMMAND_TICKBOX,
     .flag = &AlarmSlot::runCommand,
     .announcedFlag = &Announcement::runCommand},
    {.key = AlarmField::RUN_COMMAND_TEXTBOX,
     .text = &AlarmSlot::command,
     .announcedText = &Announcement::command},
    {.key = AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, .flag = &AlarmSlot::autoClose, .okPass = 2},
    {.key = AlarmField::RUN_HIDDEN_TICKBOX,
     .flag = &AlarmSlot::runHidden,
     .announcedFlag = &Announcement::runHidden,
     .okPass = 3},
    // After the row's own tick box, which ticks it when the row is switched on.
    {.key = AlarmField::RING_TICKBOX,
     .flag = &AlarmSlot::ring,
     .announcedFlag = &Announcement::ring,
     .okPass = 5},
};
} // namespace

std::span<const Field> fields()
{
    return table;
}

AlarmSlots read(const SettingsStore& store)
{
    AlarmSlots alarms;
    for (const Field& field : table) {
        for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
            AlarmSlot& slot = alarms[n - 1];
            if (field.flag)
                slot.*field.flag = store.readFlag(alarm(field.key, n));
            else
                slot.*field.text = store.readText(alarm(field.key, n));
        }
    }
    return alarms;
}

void write(SettingsStore& store, const AlarmSlots& alarms)
{
    const int lastPass =
        std::max_element(std::begin(table), std::end(table), [](const Field& a, const Field& b) {
            return a.okPass < b.okPass;
        })->okPass;
    for (int pass = 0; pass <= lastPass; ++pass) {
        for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
            const AlarmSlot& slot = alarms[n - 1];
            for (const Field& field : table) {
                if (field.okPass != pass)
                    continue;
                if (field.flag)
                    store.writeFlag(alarm(field.key, n), slot.*field.flag);
                else
                    store.writeText(alarm(field.key, n), slot.*field.text);
            }
        }
    }
}

AlarmSlots edited(const AlarmSlots& opened, const AlarmSlots& shown, const AlarmSlots& current)
{
    AlarmSlots result = current;
    for (int i = 0; i < SettingsKeys::alarmCount; ++i) {
        for (const Field& field : table) {
            if (field.flag && shown[i].*field.flag != opened[i].*field.flag)
                result[i].*field.flag = shown[i].*field.flag;
            if (field.text && shown[i].*field.text != opened[i].*field.text)
                result[i].*field.text = shown[i].*field.text;
        }
    }
    return result;
}

void announce(const AlarmSlot& slot, Announcement& announcement)
{
    for (const Field& field : table) {
        if (field.announcedFlag)
            announcement.*field.announcedFlag = slot.*field.flag;
        if (field.announcedText)
            announcement.*field.announcedText = slot.*field.text;
    }
}
} // namespace AlarmRecord
