#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line drives the real running clock: --set arms an alarm a few seconds ahead
# (the clock follows the file), its window opens at that second, --snooze answers it as
# Snooze does and --stop as OK does; with nothing ringing they say so and exit 1.
# Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
trap 'kill -9 "${pid:-0}" 2>/dev/null || true; rm -rf "$config"' EXIT
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

printf '[qm-utc]\nENABLE_ALARMS_TICKBOX=1\n' >"$config/QM_UTC.ini"
"$program" 2>"$config/said" &
pid=$!
window QM-GLIMMER-DIAL >/dev/null

said=$("$program" --stop 2>&1) && fail "--stop with nothing ringing succeeded: $said"
[ "$said" = "qm-utc: no alarm is ringing" ] || fail "--stop with nothing ringing said: $said"

for answer in snooze stop; do
    n=$([ "$answer" = snooze ] && echo 3 || echo 4)
    # Far enough ahead for the clock to have read the file (within a second) on a busy machine.
    at=$(date -d '+4 sec' +%H:%M:%S)
    "$program" --set "$n" "$at" --name Tea >/dev/null || fail "--set $n $at failed"
    "$program" --next | grep -q "^Next alarm: Tea at $at" || fail "--next: $("$program" --next)"
    window "QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea" >/dev/null
    [[ $(date +%H:%M:%S) < "$at" ]] && fail "alarm $n rang before $at"
    said=$("$program" --$answer) || fail "--$answer failed: $said"
    [ "$said" = "$([ "$answer" = snooze ] && echo Snoozed || echo Stopped) 1 alarm" ] ||
        fail "--$answer said: $said"
    window "QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea" gone
done
[ -n "$(stored ALARM_3_SNOOZED_UNTIL)" ] || fail "--snooze did not snooze alarm 3"
[ -z "$(stored ALARM_4_SNOOZED_UNTIL)" ] || fail "--stop snoozed alarm 4"
kill -TERM "$pid"
wait_for_exit "$pid"
[ ! -s "$config/said" ] || fail "the clock said: $(cat "$config/said")"
echo "PASS: the command line sets, snoozes and stops alarms of the running clock"
