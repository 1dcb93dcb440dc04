// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingKey.h"

#include <QList>

// Every key the program reads or writes. The names are the store's, spelled as stored.
namespace SettingsKeys {
// Main window and preferences.
extern const SettingKey CLOCK_MAIN_Left;
extern const SettingKey CLOCK_MAIN_Top;
extern const SettingKey CLOCK_MAIN_Height;
extern const SettingKey AlwaysOnTop_TICKBOX;
extern const SettingKey SHOW_UPTIME_TICKBOX;
extern const SettingKey LARGE_CLOCK_STARTUP_TICKBOX;
extern const SettingKey AUTOSTART_TICKBOX;
extern const SettingKey CLOCK_FORECOLOR;
extern const SettingKey CLOCK_BACKCOLOR;
extern const SettingKey MAIN_SETTINGS_Left;
extern const SettingKey MAIN_SETTINGS_Top;
extern const SettingKey MAIN_SETTINGS_Width;
extern const SettingKey MAIN_SETTINGS_Height;
extern const SettingKey COLORS_WINDOW_Left;
extern const SettingKey COLORS_WINDOW_Top;
extern const SettingKey COLORS_WINDOW_Width;
extern const SettingKey COLORS_WINDOW_Height;
extern const SettingKey MANUAL_TEXT_COLOR_TICKBOX;
extern const SettingKey MANUAL_BACKGROUND_COLOR_TICKBOX;
extern const SettingKey ENTER_TEXT_COLOR_TEXTBOX;
extern const SettingKey ENTER_BACKGROUND_COLOR_TEXTBOX;
extern const SettingKey LARGE_CLOCK_Left;
extern const SettingKey LARGE_CLOCK_Top;
extern const SettingKey LARGE_CLOCK_Width;
extern const SettingKey LARGE_CLOCK_Height;

// Alarms: the master switch, then one family of keys per alarm.
extern const SettingKey ENABLE_ALARMS_TICKBOX;
// An alarm's window is repeated as a desktop notification.
extern const SettingKey DESKTOP_NOTIFICATIONS;
// How long Snooze puts an alarm off.
extern const SettingKey SNOOZE_MINUTES;

enum class AlarmField
{
    TICKBOX,
    NAME_TEXTBOX,
    TIME_TEXTBOX,
    DISPLAY_MESSAGE_TICKBOX,
    MESSAGE_TEXTBOX,
    RUN_COMMAND_TICKBOX,
    RUN_COMMAND_TEXTBOX,
    MESSAGE_AUTO_CLOSE_TICKBOX,
    RUN_HIDDEN_TICKBOX,
    NOTIFICATION_MESSAGE_Left,
    NOTIFICATION_MESSAGE_Top,
    NOTIFICATION_MESSAGE_Width,
    NOTIFICATION_MESSAGE_Height,
    DAYS,
    SNOOZED_UNTIL,
};
inline constexpr int alarmCount = 10;
// Alarm n (1 to 10), for example ALARM_3_TIME_TEXTBOX or ALARM_3-NOTIFICATION-MESSAGE-Top.
SettingKey alarm(AlarmField field, int n);

// Alarm settings and test windows.
extern const SettingKey ALARM_SETTINGS_Left;
extern const SettingKey ALARM_SETTINGS_Top;
extern const SettingKey ALARM_SETTINGS_Width;
extern const SettingKey ALARM_SETTINGS_Height;
extern const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Left;
extern const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Top;
extern const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Width;
extern const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Height;

// The whole table, the alarm families included.
const QList<SettingKey>& all();
} // namespace SettingsKeys
