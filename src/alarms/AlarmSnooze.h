// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocalTimeOfDay.h"

#include <QDateTime>
#include <optional>

class SettingsStore;

// A snoozed alarm comes back once, at a local date and time kept in the settings file as
// "2026-12-08T07:35:00", so that it survives a restart of the clock.
namespace AlarmSnooze {
inline constexpr int defaultMinutes = 5;
inline constexpr int longestMinutes = 24 * 60;

// The moment a stored text names; nothing for an empty text or one of another form.
std::optional<LocalTimeOfDay> fromText(const QString& text);
QString toText(const LocalTimeOfDay& moment);
// The same moment as a local date and time, for the clock's tooltip.
QDateTime toDateTime(const LocalTimeOfDay& moment);

// How long Snooze puts an alarm off: SNOOZE_MINUTES, a whole number from 1 to a day's worth.
// Any other value counts as the default and is said once on standard error.
int minutes(const SettingsStore& store);
} // namespace AlarmSnooze
