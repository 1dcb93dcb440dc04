// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSlot.h"
#include "notify/Announcement.h"

// What alarm n's notification window announces, from the alarm as its live copy holds it now.
namespace AlarmAnnouncement {
Announcement of(int n, const AlarmSlot& slot);
} // namespace AlarmAnnouncement
