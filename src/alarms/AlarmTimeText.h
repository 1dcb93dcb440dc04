// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// True only for a time of day the clock can show in its 24-hour form, HH:MM:SS with hours
// 00-23 and minutes and seconds 00-59, two ASCII digits each and nothing around it. Any other
// alarm time is still kept as typed; it just never fires.
bool isRealAlarmTime(const QString& text);

// The HH:MM:SS a person means by a time typed in short, or nothing where the text can be read
// more than one way or not at all. Hours, minutes and seconds are separated by colons, one or
// two digits each, the seconds optional ("7:30" and "7:3:05" are 07:30:00 and 07:03:05), or
// written as digits alone, read from the left as hours, then pairs ("7" 07:00:00, "730"
// 07:30:00, "0730" 07:30:00, "73005" 07:30:05, "073005" 07:30:05); "am" or "pm" may follow an
// hour from 1 to 12. Blanks around it are dropped. A number out of range, an empty part, other
// separators and more than six digits are not read.
std::optional<QString> completedAlarmTime(const QString& typed);
