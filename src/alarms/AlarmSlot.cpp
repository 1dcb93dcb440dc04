// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSlot.h"

#include "AlarmDays.h"
#include "AlarmRecord.h"
#include "notify/LaunchRule.h"
#include "platform/ProblemReport.h"
#include "settings/SettingsKeys.h"
#include "widgets/ShownText.h"

bool AlarmSlot::doesNothing() const
{
    // Every action an alarm can take.
    const bool acts =
        displayMessage == 1 || ring == 1 || LaunchRule::style(runCommand, runHidden).has_value();
    return enabled == 1 && !acts;
}

QString AlarmSlot::doesNothingReason()
{
    return QStringLiteral("none of Ring, Display Message and Run Command is ticked");
}

AlarmSlots loadAlarmSlots(const SettingsStore& store)
{
    using SettingsKeys::alarm;
    using SettingsKeys::AlarmField;
    const AlarmSlots loaded = AlarmRecord::read(store);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (!AlarmDays::fromText(loaded[n - 1].days))
            ProblemReport::report(
                QStringLiteral("alarm %1: %2=%3 names no days of the week (write them as \"Mon "
                               "Tue Wed Thu Fri\"); it fires every day")
                    .arg(QString::number(n), alarm(AlarmField::DAYS, n).name,
                         ShownText::cut(loaded[n - 1].days, ShownText::inLine)));
    }
    return loaded;
}
