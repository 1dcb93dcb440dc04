// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsKeys.h"

#include <QtGlobal>

namespace SettingsKeys {
namespace {
SettingKey flag(const char* name, int defaultValue)
{
    return {QLatin1String(name), SettingKind::Flag, QString::number(defaultValue)};
}
SettingKey twips(const char* name, int defaultValue)
{
    return {QLatin1String(name), SettingKind::Twips, QString::number(defaultValue)};
}
SettingKey colour(const char* name, int defaultValue)
{
    return {QLatin1String(name), SettingKind::Colour, QString::number(defaultValue)};
}
SettingKey text(const char* name, const char* defaultValue)
{
    return {QLatin1String(name), SettingKind::Text, QLatin1String(defaultValue)};
}
SettingKey minutes(const char* name, int defaultValue)
{
    return {QLatin1String(name), SettingKind::Minutes, QString::number(defaultValue)};
}
} // namespace

const SettingKey CLOCK_MAIN_Left = twips("CLOCK-MAIN-Left", 1000);
const SettingKey CLOCK_MAIN_Top = twips("CLOCK-MAIN-Top", 1000);
const SettingKey CLOCK_MAIN_Height = twips("CLOCK-MAIN-Height", 900);
const SettingKey AlwaysOnTop_TICKBOX = flag("AlwaysOnTop_TICKBOX", 1);
const SettingKey SHOW_UPTIME_TICKBOX = flag("SHOW_UPTIME_TICKBOX", 1);
const SettingKey LARGE_CLOCK_STARTUP_TICKBOX = flag("LARGE_CLOCK_STARTUP_TICKBOX", 0);
// The general settings window reads this key with default 0 instead.
const SettingKey AUTOSTART_TICKBOX = flag("AUTOSTART_TICKBOX", 1);
const SettingKey CLOCK_FORECOLOR = colour("CLOCK_FORECOLOR", 65280);
const SettingKey CLOCK_BACKCOLOR = colour("CLOCK_BACKCOLOR", 0);
const SettingKey MAIN_SETTINGS_Left = twips("MAIN-SETTINGS-Left", 1000);
const SettingKey MAIN_SETTINGS_Top = twips("MAIN-SETTINGS-Top", 1000);
const SettingKey MAIN_SETTINGS_Width = twips("MAIN-SETTINGS-Width", 8265);
const SettingKey MAIN_SETTINGS_Height = twips("MAIN-SETTINGS-Height", 2130);
const SettingKey COLORS_WINDOW_Left = twips("COLORS-WINDOW-Left", 1000);
const SettingKey COLORS_WINDOW_Top = twips("COLORS-WINDOW-Top", 1000);
const SettingKey COLORS_WINDOW_Width = twips("COLORS-WINDOW-Width", 9240);
const SettingKey COLORS_WINDOW_Height = twips("COLORS-WINDOW-Height", 3570);
const SettingKey MANUAL_TEXT_COLOR_TICKBOX = flag("MANUAL_TEXT_COLOR_TICKBOX", 0);
const SettingKey MANUAL_BACKGROUND_COLOR_TICKBOX = flag("MANUAL_BACKGROUND_COLOR_TICKBOX", 0);
const SettingKey ENTER_TEXT_COLOR_TEXTBOX = text("ENTER_TEXT_COLOR_TEXTBOX", "&H0000FF00&");
const SettingKey ENTER_BACKGROUND_COLOR_TEXTBOX =
    text("ENTER_BACKGROUND_COLOR_TEXTBOX", "&H00000000&");
const SettingKey LARGE_CLOCK_Left = twips("LARGE_CLOCK-Left", 1000);
const SettingKey LARGE_CLOCK_Top = twips("LARGE_CLOCK-Top", 1000);
const SettingKey LARGE_CLOCK_Width = twips("LARGE_CLOCK-Width", 3060);
const SettingKey LARGE_CLOCK_Height = twips("LARGE_CLOCK-Height", 1215);

const SettingKey ENABLE_ALARMS_TICKBOX = flag("ENABLE_ALARMS_TICKBOX", 0);
const SettingKey DESKTOP_NOTIFICATIONS = flag("DESKTOP_NOTIFICATIONS", 1);
const SettingKey SNOOZE_MINUTES = minutes("SNOOZE_MINUTES", 5);

const SettingKey ALARM_SETTINGS_Left = twips("ALARM-SETTINGS-Left", 1000);
const SettingKey ALARM_SETTINGS_Top = twips("ALARM-SETTINGS-Top", 1000);
const SettingKey ALARM_SETTINGS_Width = twips("ALARM-SETTINGS-Width", 13680);
const SettingKey ALARM_SETTINGS_Height = twips("ALARM-SETTINGS-Height", 8355);
const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Left =
    twips("ALARM-TEST-NOTIFICATION-MESSAGE-Left", 1000);
const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Top =
    twips("ALARM-TEST-NOTIFICATION-MESSAGE-Top", 1000);
const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Width =
    twips("ALARM-TEST-NOTIFICATION-MESSAGE-Width", 8745);
const SettingKey ALARM_TEST_NOTIFICATION_MESSAGE_Height =
    twips("ALARM-TEST-NOTIFICATION-MESSAGE-Height", 3420);

SettingKey alarm(AlarmField field, int n)
{
    Q_ASSERT(n >= 1 && n <= alarmCount);
    const QString number = QString::number(n);
    const auto fieldKey = [&](const char* suffix) {
        return QStringLiteral("ALARM_%1_%2").arg(number, QLatin1String(suffix));
    };
    const auto geometryKey = [&](const char* edge) {
        return QStringLiteral("ALARM_%1-NOTIFICATION-MESSAGE-%2").arg(number, QLatin1String(edge));
    };
    switch (field) {
    case AlarmField::TICKBOX:
        return {fieldKey("TICKBOX"), SettingKind::Flag, QStringLiteral("0")};
    case AlarmField::NAME_TEXTBOX:
        return {fieldKey("NAME_TEXTBOX"), SettingKind::Text, QStringLiteral("Alarm Name")};
    case AlarmField::TIME_TEXTBOX:
        return {fieldKey("TIME_TEXTBOX"), SettingKind::Text, QStringLiteral("00:00:00")};
    case AlarmField::DISPLAY_MESSAGE_TICKBOX:
        return {fieldKey("DISPLAY_MESSAGE_TICKBOX"), SettingKind::Flag, QStringLiteral("0")};
    case AlarmField::MESSAGE_TEXTBOX:
        return {fieldKey("MESSAGE_TEXTBOX"), SettingKind::Text, QStringLiteral("Display Message")};
    case AlarmField::RUN_COMMAND_TICKBOX:
        return {fieldKey("RUN_COMMAND_TICKBOX"), SettingKind::Flag, QStringLiteral("0")};
    case AlarmField::RUN_COMMAND_TEXTBOX:
        return {fieldKey("RUN_COMMAND_TEXTBOX"), SettingKind::Text, QStringLiteral("Run Command")};
    case AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX:
        return {fieldKey("MESSAGE_AUTO_CLOSE_TICKBOX"), SettingKind::Flag, QStringLiteral("0")};
    case AlarmField::RUN_HIDDEN_TICKBOX:
        return {QStringLiteral("RUN_HIDDEN_%1_TICKBOX").arg(number), SettingKind::Flag,
                QStringLiteral("0")};
    case AlarmField::NOTIFICATION_MESSAGE_Left:
        return {geometryKey("Left"), SettingKind::Twips, QStringLiteral("1000")};
    case AlarmField::NOTIFICATION_MESSAGE_Top:
        return {geometryKey("Top"), SettingKind::Twips, QStringLiteral("1000")};
    case AlarmField::NOTIFICATION_MESSAGE_Width:
        return {geometryKey("Width"), SettingKind::Twips, QStringLiteral("8745")};
    case AlarmField::NOTIFICATION_MESSAGE_Height:
        return {geometryKey("Height"), SettingKind::Twips, QStringLiteral("3420")};
    case AlarmField::DAYS:
        return {fieldKey("DAYS"), SettingKind::Text, QStringLiteral("Mon Tue Wed Thu Fri Sat Sun")};
    case AlarmField::SNOOZED_UNTIL:
        return {fieldKey("SNOOZED_UNTIL"), SettingKind::Text, QString()};
    }
    Q_UNREACHABLE();
}

const QList<SettingKey>& all()
{
    static const QList<SettingKey> table = [] {
        QList<SettingKey> keys = {CLOCK_MAIN_Left,
                                  CLOCK_MAIN_Top,
                                  CLOCK_MAIN_Height,
                                  AlwaysOnTop_TICKBOX,
                                  SHOW_UPTIME_TICKBOX,
                                  LARGE_CLOCK_STARTUP_TICKBOX,
                                  AUTOSTART_TICKBOX,
                                  CLOCK_FORECOLOR,
                                  CLOCK_BACKCOLOR,
                                  MAIN_SETTINGS_Left,
                                  MAIN_SETTINGS_Top,
                                  MAIN_SETTINGS_Width,
                                  MAIN_SETTINGS_Height,
                                  COLORS_WINDOW_Left,
                                  COLORS_WINDOW_Top,
                                  COLORS_WINDOW_Width,
                                  COLORS_WINDOW_Height,
                                  MANUAL_TEXT_COLOR_TICKBOX,
                                  MANUAL_BACKGROUND_COLOR_TICKBOX,
                                  ENTER_TEXT_COLOR_TEXTBOX,
                                  ENTER_BACKGROUND_COLOR_TEXTBOX,
                                  LARGE_CLOCK_Left,
                                  LARGE_CLOCK_Top,
                                  LARGE_CLOCK_Width,
                                  LARGE_CLOCK_Height,
                                  ENABLE_ALARMS_TICKBOX,
                                  DESKTOP_NOTIFICATIONS,
                                  SNOOZE_MINUTES,
                                  ALARM_SETTINGS_Left,
                                  ALARM_SETTINGS_Top,
                                  ALARM_SETTINGS_Width,
                                  ALARM_SETTINGS_Height,
                                  ALARM_TEST_NOTIFICATION_MESSAGE_Left,
                                  ALARM_TEST_NOTIFICATION_MESSAGE_Top,
                                  ALARM_TEST_NOTIFICATION_MESSAGE_Width,
                                  ALARM_TEST_NOTIFICATION_MESSAGE_Height};
        for (int n = 1; n <= alarmCount; ++n) {
            for (int f = int(AlarmField::TICKBOX); f <= int(AlarmField::SNOOZED_UNTIL); ++f)
                keys.append(alarm(AlarmField(f), n));
        }
        return keys;
    }();
    return table;
}
} // namespace SettingsKeys
