// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmAnnouncement.h"

#include "AlarmRecord.h"
#include "settings/SettingsKeys.h"

Announcement AlarmAnnouncement::of(int n, const AlarmSlot& slot)
{
    using SettingsKeys::alarm;
    using SettingsKeys::AlarmField;
    Announcement a;
    a.windowName = QStringLiteral("QM_UTC_ALARM_%1_NOTIFICATION_WINDOW").arg(n);
    a.alarmNumber = n;
    a.title = QStringLiteral("QM-UTC - !!! ALARM NOTIFICATION - !!! - ") + slot.name;
    a.requester = QStringLiteral("alarm %1").arg(n);
    a.badge = Announcement::alarmBadge(n);
    AlarmRecord::announce(slot, a);
    a.placement = {alarm(AlarmField::NOTIFICATION_MESSAGE_Left, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Top, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Width, n),
                   alarm(AlarmField::NOTIFICATION_MESSAGE_Height, n)};
    a.autoClose = alarm(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, n);
    return a;
}
