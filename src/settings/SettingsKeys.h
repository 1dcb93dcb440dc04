// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SettingKey.h"

#include <QList>

// Every key the program reads or writes, one line each in the two lists below: a line there
// declares the key, defines it and puts it in the table, so a new key is that one line (and
// its row in docs/SETTINGS.md, which a test compares). The names are the store's, spelled as
// stored; numbers are defaults of flags, twips and colours, quoted texts those of texts.
//
// KEY(identifier, stored name, kind, default)
#define QMUTC_SETTINGS_KEYS(KEY)                                                                   \
    /* Main window and preferences. */                                                             \
    KEY(CLOCK_MAIN_Left, "CLOCK-MAIN-Left", Twips, 1000)                                           \
    KEY(CLOCK_MAIN_Top, "CLOCK-MAIN-Top", Twips, 1000)                                             \
    KEY(CLOCK_MAIN_Height, "CLOCK-MAIN-Height", Twips, 900)                                        \
    KEY(AlwaysOnTop_TICKBOX, "AlwaysOnTop_TICKBOX", Flag, 1)                                       \
    KEY(SHOW_UPTIME_TICKBOX, "SHOW_UPTIME_TICKBOX", Flag, 1)                                       \
    KEY(LARGE_CLOCK_STARTUP_TICKBOX, "LARGE_CLOCK_STARTUP_TICKBOX", Flag, 0)                       \
    /* The general settings window reads this key with default 0 instead. */                       \
    KEY(AUTOSTART_TICKBOX, "AUTOSTART_TICKBOX", Flag, 1)                                           \
    KEY(CLOCK_FORECOLOR, "CLOCK_FORECOLOR", Colour, 65280)                                         \
    KEY(CLOCK_BACKCOLOR, "CLOCK_BACKCOLOR", Colour, 0)                                             \
    KEY(MAIN_SETTINGS_Left, "MAIN-SETTINGS-Left", Twips, 1000)                                     \
    KEY(MAIN_SETTINGS_Top, "MAIN-SETTINGS-Top", Twips, 1000)                                       \
    KEY(MAIN_SETTINGS_Width, "MAIN-SETTINGS-Width", Twips, 8265)                                   \
    KEY(MAIN_SETTINGS_Height, "MAIN-SETTINGS-Height", Twips, 2130)                                 \
    KEY(COLORS_WINDOW_Left, "COLORS-WINDOW-Left", Twips, 1000)                                     \
    KEY(COLORS_WINDOW_Top, "COLORS-WINDOW-Top", Twips, 1000)                                       \
    KEY(COLORS_WINDOW_Width, "COLORS-WINDOW-Width", Twips, 9240)                                   \
    KEY(COLORS_WINDOW_Height, "COLORS-WINDOW-Height", Twips, 3570)                                 \
    KEY(MANUAL_TEXT_COLOR_TICKBOX, "MANUAL_TEXT_COLOR_TICKBOX", Flag, 0)                           \
    KEY(MANUAL_BACKGROUND_COLOR_TICKBOX, "MANUAL_BACKGROUND_COLOR_TICKBOX", Flag, 0)               \
    KEY(ENTER_TEXT_COLOR_TEXTBOX, "ENTER_TEXT_COLOR_TEXTBOX", Text, "&H0000FF00&")                 \
    KEY(ENTER_BACKGROUND_COLOR_TEXTBOX, "ENTER_BACKGROUND_COLOR_TEXTBOX", Text, "&H00000000&")     \
    KEY(LARGE_CLOCK_Left, "LARGE_CLOCK-Left", Twips, 1000)                                         \
    KEY(LARGE_CLOCK_Top, "LARGE_CLOCK-Top", Twips, 1000)                                           \
    KEY(LARGE_CLOCK_Width, "LARGE_CLOCK-Width", Twips, 3060)                                       \
    KEY(LARGE_CLOCK_Height, "LARGE_CLOCK-Height", Twips, 1215)                                     \
    /* Alarms: the master switch (the families of each alarm follow below). */                     \
    KEY(ENABLE_ALARMS_TICKBOX, "ENABLE_ALARMS_TICKBOX", Flag, 0)                                   \
    /* An alarm's window is repeated as a desktop notification. */                                 \
    KEY(DESKTOP_NOTIFICATIONS, "DESKTOP_NOTIFICATIONS", Flag, 1)                                   \
    /* How long Snooze puts an alarm off. */                                                       \
    KEY(SNOOZE_MINUTES, "SNOOZE_MINUTES", Minutes, 5)                                              \
    /* The sound of the alarms that ring. */                                                       \
    KEY(SOUND_FILE, "SOUND_FILE", Text, "")                                                        \
    KEY(SOUND_VOLUME, "SOUND_VOLUME", Percent, 80)                                                 \
    KEY(SOUND_FADE_IN_SECONDS, "SOUND_FADE_IN_SECONDS", Seconds, 10)                               \
    KEY(SOUND_RING_MINUTES, "SOUND_RING_MINUTES", Minutes, 10)                                     \
    /* Alarm settings and test windows. */                                                         \
    KEY(ALARM_SETTINGS_Left, "ALARM-SETTINGS-Left", Twips, 1000)                                   \
    KEY(ALARM_SETTINGS_Top, "ALARM-SETTINGS-Top", Twips, 1000)                                     \
    KEY(ALARM_SETTINGS_Width, "ALARM-SETTINGS-Width", Twips, 13680)                                \
    KEY(ALARM_SETTINGS_Height, "ALARM-SETTINGS-Height", Twips, 8355)                               \
    KEY(ALARM_TEST_NOTIFICATION_MESSAGE_Left, "ALARM-TEST-NOTIFICATION-MESSAGE-Left", Twips, 1000) \
    KEY(ALARM_TEST_NOTIFICATION_MESSAGE_Top, "ALARM-TEST-NOTIFICATION-MESSAGE-Top", Twips, 1000)   \
    KEY(ALARM_TEST_NOTIFICATION_MESSAGE_Width, "ALARM-TEST-NOTIFICATION-MESSAGE-Width", Twips,     \
        8745)                                                                                      \
    KEY(ALARM_TEST_NOTIFICATION_MESSAGE_Height, "ALARM-TEST-NOTIFICATION-MESSAGE-Height", Twips,   \
        3420)

// The keys of alarm n, %1 standing for the number: one line makes an AlarmField and its key
// for every alarm.
//
// KEY(field, stored name, kind, default)
#define QMUTC_ALARM_KEYS(KEY)                                                                      \
    KEY(TICKBOX, "ALARM_%1_TICKBOX", Flag, 0)                                                      \
    KEY(NAME_TEXTBOX, "ALARM_%1_NAME_TEXTBOX", Text, "Alarm Name")                                 \
    KEY(TIME_TEXTBOX, "ALARM_%1_TIME_TEXTBOX", Text, "00:00:00")                                   \
    KEY(DISPLAY_MESSAGE_TICKBOX, "ALARM_%1_DISPLAY_MESSAGE_TICKBOX", Flag, 0)                      \
    KEY(MESSAGE_TEXTBOX, "ALARM_%1_MESSAGE_TEXTBOX", Text, "Display Message")                      \
    KEY(RUN_COMMAND_TICKBOX, "ALARM_%1_RUN_COMMAND_TICKBOX", Flag, 0)                              \
    KEY(RUN_COMMAND_TEXTBOX, "ALARM_%1_RUN_COMMAND_TEXTBOX", Text, "Run Command")                  \
    KEY(MESSAGE_AUTO_CLOSE_TICKBOX, "ALARM_%1_MESSAGE_AUTO_CLOSE_TICKBOX", Flag, 0)                \
    KEY(RUN_HIDDEN_TICKBOX, "RUN_HIDDEN_%1_TICKBOX", Flag, 0)                                      \
    KEY(NOTIFICATION_MESSAGE_Left, "ALARM_%1-NOTIFICATION-MESSAGE-Left", Twips, 1000)              \
    KEY(NOTIFICATION_MESSAGE_Top, "ALARM_%1-NOTIFICATION-MESSAGE-Top", Twips, 1000)                \
    KEY(NOTIFICATION_MESSAGE_Width, "ALARM_%1-NOTIFICATION-MESSAGE-Width", Twips, 8745)            \
    KEY(NOTIFICATION_MESSAGE_Height, "ALARM_%1-NOTIFICATION-MESSAGE-Height", Twips, 3420)          \
    KEY(DAYS, "ALARM_%1_DAYS", Text, "Mon Tue Wed Thu Fri Sat Sun")                                \
    KEY(SNOOZED_UNTIL, "ALARM_%1_SNOOZED_UNTIL", Text, "")                                         \
    KEY(RING_TICKBOX, "ALARM_%1_RING_TICKBOX", Flag, 0)                                            \
    KEY(DATE, "ALARM_%1_DATE", Text, "")                                                           \
    KEY(SKIP_DATE, "ALARM_%1_SKIP_DATE", Text, "")

namespace SettingsKeys {
#define QMUTC_DECLARE_KEY(identifier, name, kind, defaultValue) extern const SettingKey identifier;
QMUTC_SETTINGS_KEYS(QMUTC_DECLARE_KEY)
#undef QMUTC_DECLARE_KEY

enum class AlarmField
{
#define QMUTC_ALARM_FIELD(field, name, kind, defaultValue) field,
    QMUTC_ALARM_KEYS(QMUTC_ALARM_FIELD)
#undef QMUTC_ALARM_FIELD
};
#define QMUTC_COUNT_ALARM_FIELD(field, name, kind, defaultValue) +1
inline constexpr int alarmFieldCount = 0 QMUTC_ALARM_KEYS(QMUTC_COUNT_ALARM_FIELD);
#undef QMUTC_COUNT_ALARM_FIELD
inline constexpr int alarmCount = 10;
// Alarm n (1 to 10), for example ALARM_3_TIME_TEXTBOX or ALARM_3-NOTIFICATION-MESSAGE-Top.
SettingKey alarm(AlarmField field, int n);

// The whole table, the alarm families included.
const QList<SettingKey>& all();
} // namespace SettingsKeys
