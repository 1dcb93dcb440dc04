// SPDX-License-Identifier: GPL-3.0-or-later
// Started by the crash test: saves the ten alarms' names and commands over and over, each save
// one batch whose values all carry the save's number, until it is killed. Prints "saving" once
// the first save is on disk. Usage: settings_writer SETTINGS_FILE

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    SettingsStore store(QString::fromLocal8Bit(argv[1]));
    // Long values, so that a save takes long enough to be killed in the middle of it.
    const QString padding(10000, QLatin1Char('x'));
    for (long round = 1;; ++round) {
        {
            SettingsStore::Batch batch(store);
            for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
                const QString value = QStringLiteral("%1 %2").arg(round).arg(padding);
                store.writeText(SettingsKeys::alarm(SettingsKeys::AlarmField::NAME_TEXTBOX, n),
                                value);
                store.writeText(
                    SettingsKeys::alarm(SettingsKeys::AlarmField::RUN_COMMAND_TEXTBOX, n), value);
            }
        }
        if (round == 1) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
