#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The session bus never holds the clock up and is never started by it, with the real program
# on a real X server: with a bus that takes connections but never answers, the strip is up
# within a few seconds and says once why screen readers and notifications are off; with no
# bus named at all, no dbus-launch or dbus-daemon is started, not at start and not when an
# alarm opens its window; with a bus that answers, the clock connects to it and looks for the
# screen readers' bus there. Either way an alarm's command sees the environment as it was.
# Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
helpers=$(dirname "$program")/tests
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

# Bus programs started for this X display, and so by this test's clock.
bus_programs() {
    local process
    for process in $(pgrep -x 'dbus-launch|dbus-daemon' || true); do
        { tr '\0' '\n' <"/proc/$process/environ"; } 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" &&
            ps -o pid=,args= -p "$process"
    done
    return 0
}

# Starts the clock with alarm 1 a few seconds ahead, its command writing its environment, and
# its window opening; waits for the strip and says how long that took.
start_clock() { # NAME, then environment assignments for the clock
    local name=$1
    shift
    mkdir -p "$work/$name/config" && chmod 700 "$work/$name"
    cat >"$work/$name/config/QM_UTC.ini" <<INI
[qm-utc]
ENABLE_ALARMS_TICKBOX=1
ALARM_1_TICKBOX=1
ALARM_1_NAME_TEXTBOX=Env
ALARM_1_TIME_TEXTBOX=$(date -d '+6 seconds' +%H:%M:%S)
ALARM_1_DISPLAY_MESSAGE_TICKBOX=1
ALARM_1_RUN_COMMAND_TICKBOX=1
ALARM_1_RUN_HIDDEN_TICKBOX=1
ALARM_1_RUN_COMMAND_TEXTBOX=/bin/sh -c "env > $work/$name/env"
INI
    local started
    started=$(date +%s%N)
    env "$@" XDG_CONFIG_HOME="$work/$name/config" "$program" 2>"$work/$name/said" &
    clock=$!
    pids+=("$clock")
    window_pid=$clock window QM-GLIMMER-DIAL >/dev/null
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
}

alarm_ran() { # NAME: waits for the alarm's command and its window
    for _ in $(seq 300); do
        [ -s "$work/$1/env" ] && break
        sleep 0.05
    done
    [ -s "$work/$1/env" ] || fail "$1: the alarm's command did not run"
    window_pid=$clock window 'QM-UTC - !!! ALARM NOTIFICATION - !!! - Env' >/dev/null
}

stop_clock() {
    kill "$clock"
    wait "$clock" 2>/dev/null || true
}

# A bus that takes connections and never answers.
"$helpers/quiet_socket" "$work/silent-bus" >"$work/quiet.out" &
pids+=("$!")
for _ in $(seq 100); do
    grep -q ready "$work/quiet.out" 2>/dev/null && break
    sleep 0.05
done
start_clock silent DBUS_SESSION_BUS_ADDRESS="unix:path=$work/silent-bus"
[ "$elapsed_ms" -lt 6000 ] || fail "with a silent bus the strip took $elapsed_ms ms"
alarm_ran silent
grep -qx "DBUS_SESSION_BUS_ADDRESS=unix:path=$work/silent-bus" "$work/silent/env" ||
    fail "the command's bus address changed: $(grep DBUS_SESSION "$work/silent/env" || echo none)"
stop_clock
[ "$(grep -c 'does not answer' "$work/silent/said")" = 1 ] || fail "it said: $(cat "$work/silent/said")"
echo "a silent bus: the strip after $elapsed_ms ms, said once why"

# No bus named: DBUS_SESSION_BUS_ADDRESS unset, no bus in the runtime folder, DISPLAY set.
[ -z "$(bus_programs)" ] || fail "bus programs run for this display before the clock: $(bus_programs)"
mkdir -m 700 "$work/run"
start_clock none -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$work/run"
alarm_ran none
! grep -q '^DBUS_SESSION_BUS_ADDRESS=' "$work/none/env" || fail "the command got a bus address"
sleep 1
started=$(bus_programs)
stop_clock
sleep 0.5
[ -z "$started$(bus_programs)" ] || fail "the clock started a bus: $started $(bus_programs)"
! grep -q '^qm-utc:' "$work/none/said" || fail "without a bus it said: $(cat "$work/none/said")"
echo "no bus: none started, the strip after $elapsed_ms ms"

# A bus that answers: the clock connects, and asks for the screen readers' bus.
mkdir -m 700 "$work/bus"
dbus-daemon --session --nofork --address="unix:path=$work/bus/socket" --print-address=3 \
    3>"$work/bus/address" 2>"$work/bus/log" &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/bus/address" ] && break
    sleep 0.05
done
address=$(head -n1 "$work/bus/address")
[ -n "$address" ] || fail "no test bus"
dbus-monitor --address "$address" "member='NameHasOwner'" >"$work/bus/monitor" 2>/dev/null &
pids+=("$!")
sleep 0.5
start_clock live DBUS_SESSION_BUS_ADDRESS="$address"
for _ in $(seq 100); do
    grep -q 'string "org.a11y.Bus"' "$work/bus/monitor" && break
    sleep 0.05
done
grep -q 'string "org.a11y.Bus"' "$work/bus/monitor" || fail "the clock did not look for the screen readers' bus"
alarm_ran live
grep -qx "DBUS_SESSION_BUS_ADDRESS=$address" "$work/live/env" || fail "the command's bus address changed"
stop_clock
! grep -q '^qm-utc:' "$work/live/said" || fail "with a bus it said: $(cat "$work/live/said")"
echo "a bus that answers: used, the strip after $elapsed_ms ms"
echo "PASS: the session bus holds nothing up and none is started"
