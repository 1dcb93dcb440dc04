// SPDX-License-Identifier: GPL-3.0-or-later
#include "Announcement.h"

#include "settings/SettingsKeys.h"

Announcement Announcement::forAlarm(int n, const AlarmSlot& slot)
{
    using SettingsKeys::alarm;
    using SettingsKeys::AlarmField;
    Announcement a;
    a.windowName = QStringLiteral("QM_UTC_ALARM_%1_NOTIFICATION_WINDOW").arg(n);
    a.title = QStringLiteral("QM-UTC - !!! ALARM NOTIFICATION - !!! - ") + slot.name;
    a.requester = QStringLiteral("alarm %1").arg(n);
    a.badge = alarmBadge(n);
    a.name = slot.name;
    a.message = slot.message;
    a.runCommand = slot.run_command;
    a.runHidden = slot.run_hidden;
    a.command = slot.command;
    a.placement = {alarm(AlarmField::NOTIFICATION_MESSAGE_Left, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Top, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Width, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Height, n)};
    a.autoClose = alarm(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, n);
    return a;
}

Announcement Announcement::forTest()
{
    using namespace SettingsKeys;
    Announcement a;
    a.windowName = QStringLiteral("QM_UTC_ALARM_TEST_NOTIFICATION_WINDOW");
    a.title = QStringLiteral(
        "QM-UTC !!! TEST ALARM NOTIFICATION - MANUAL COMMAND ONLY - SETTINGS NOT SAVED !!!");
    a.requester = QStringLiteral("the test window");
    a.badge = testBadge();
    a.name = QStringLiteral("!!! TEST ALARM NOTIFICATION !!!");
    a.message = QStringLiteral("MANUAL COMMAND ONLY - SETTINGS NOT SAVED");
    a.messagePoints = 9.75;
    a.command = QStringLiteral("Run Command");
    a.commandByHand = true;
    a.takesFocus = true;
    a.placement = {ALARM_TEST_NOTIFICATION_MESSAGE_Left, ALARM_TEST_NOTIFICATION_MESSAGE_Top,
                   ALARM_TEST_NOTIFICATION_MESSAGE_Width, ALARM_TEST_NOTIFICATION_MESSAGE_Height};
    return a;
}
