// SPDX-License-Identifier: GPL-3.0-or-later
#include "Announcement.h"

#include "settings/SettingsKeys.h"

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
