// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// True only for a time of day the clock can show in its 24-hour form, HH:MM:SS with hours
// 00-23 and minutes and seconds 00-59, two ASCII digits each and nothing around it. Any other
// alarm time is still kept as typed; it just never fires.
bool isRealAlarmTime(const QString& text);
