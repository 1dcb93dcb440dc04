// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSlot.h"

#include "AlarmDays.h"
#include "platform/ProblemReport.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ShownText.h"

AlarmSlots loadAlarmSlots(const SettingsStore& store)
{
    using SettingsKeys::alarm;
    using SettingsKeys::AlarmField;
    AlarmSlots loaded;
    const auto eachFlag = [&](AlarmField field, qint16 AlarmSlot::*member) {
        for (int n = 1; n <= SettingsKeys::alarmCount; ++n)
            loaded[n - 1].*member = store.readFlag(alarm(field, n));
    };
    const auto eachText = [&](AlarmField field, QString AlarmSlot::*member) {
        for (int n = 1; n <= SettingsKeys::alarmCount; ++n)
            loaded[n - 1].*member = store.readText(alarm(field, n));
    };
    eachFlag(AlarmField::TICKBOX, &AlarmSlot::enabled);
    eachText(AlarmField::NAME_TEXTBOX, &AlarmSlot::name);
    eachText(AlarmField::TIME_TEXTBOX, &AlarmSlot::time);
    eachFlag(AlarmField::DISPLAY_MESSAGE_TICKBOX, &AlarmSlot::displayMessage);
    eachText(AlarmField::MESSAGE_TEXTBOX, &AlarmSlot::message);
    eachFlag(AlarmField::RUN_COMMAND_TICKBOX, &AlarmSlot::runCommand);
    eachText(AlarmField::RUN_COMMAND_TEXTBOX, &AlarmSlot::command);
    eachFlag(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, &AlarmSlot::autoClose);
    eachFlag(AlarmField::RUN_HIDDEN_TICKBOX, &AlarmSlot::runHidden);
    eachText(AlarmField::DAYS, &AlarmSlot::days);
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
