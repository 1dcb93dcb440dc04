#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end check of a real alarm on a real X display (about 20 seconds, so not part of the
# test suite): alarm 1 set four seconds ahead must run its command exactly once, at its
# second, open its notification window, and close that window eleven seconds later with Auto
# Close stored as 1. Usage: tests/x11/with-x11.sh tests/x11/check-alarm-fires.sh build/qm-utc
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$config"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$config/fired
at=$(date -d '+4 seconds' +%H:%M:%S)
cat >"$config/QM_UTC.ini" <<INI
[qm-utc]
ENABLE_ALARMS_TICKBOX=1
ALARM_1_TICKBOX=1
ALARM_1_NAME_TEXTBOX=Tea
ALARM_1_TIME_TEXTBOX=$at
ALARM_1_DISPLAY_MESSAGE_TICKBOX=1
ALARM_1_MESSAGE_TEXTBOX=The kettle
ALARM_1_RUN_COMMAND_TICKBOX=1
ALARM_1_RUN_COMMAND_TEXTBOX=/bin/sh -c "date +%H:%M:%S.%N >> $out"
ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX=1
INI

"$program" &
pid=$!
window_id() { xdotool search --name '^QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea$' 2>/dev/null | head -n1 || true; }

# Wait for the alarm's second, then a little more.
for _ in $(seq 120); do
    [ -s "$out" ] && break
    sleep 0.05
done
[ -s "$out" ] || fail "the command did not run"
for _ in $(seq 40); do
    [ -n "$(window_id)" ] && break
    sleep 0.05
done
[ -n "$(window_id)" ] || fail "the notification window did not open"
opened=$(date +%s.%N)
fired=$(head -n1 "$out")
[ "${fired%%.*}" = "$at" ] || fail "the command ran at $fired, not at $at"
echo "command started at $fired for alarm time $at"

# Auto Close: gone eleven seconds after opening.
for _ in $(seq 300); do
    [ -z "$(window_id)" ] && break
    sleep 0.05
done
[ -z "$(window_id)" ] || fail "the notification window did not close itself"
closed=$(date +%s.%N)
awk -v a="$opened" -v b="$closed" 'BEGIN { printf "window closed itself %.1f s after it was seen\n", b - a }'
[ "$(wc -l <"$out")" = 1 ] || fail "the command ran $(wc -l <"$out") times"
grep -qx 'ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX=1' "$config/QM_UTC.ini" || fail "Auto Close not stored as 1"
grep -q '^ALARM_1-NOTIFICATION-MESSAGE-Left=' "$config/QM_UTC.ini" || fail "window position not stored"
kill -0 "$pid" || fail "the clock ended"
echo "PASS: alarm fired once, its window closed itself and stored Auto Close 1"
