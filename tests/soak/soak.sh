#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Long run of the real clock (under tests/x11/with-x11.sh): alarms every 15 s (ten at most,
# spread over a longer run), each appending its number to a file and opening a notification
# window that closes itself; the large clock opened at start-up, closed, opened again by a
# double-click and closed. At
# the end every alarm has run its command exactly once, no notification window is left, the
# program is alive, and its resident memory grew by less than 1 MB after the first firing.
# Usage: soak.sh PROGRAM [SECONDS]   (SECONDS >= 60; 60 in CI, 600 by hand)
set -euo pipefail
program=$1
seconds=${2:-60}
[ "$seconds" -ge 60 ] || { echo "soak: at least 60 seconds" >&2; exit 2; }
# shellcheck source=tests/x11/clock-prologue.sh
. "$(dirname "$0")/../x11/clock-prologue.sh"
say() { printf '[%3ds] %s\n' "$SECONDS" "$*"; }

fired=$config/fired
: >"$fired"
# The alarms fire from 15 s on, every 15 s; a longer run spreads the ten there are over it. The
# last one fires at least 15 s before the end, so that its window has closed itself by then.
alarms=$(((seconds - 30) / 15 + 1))
step=15
if [ "$alarms" -gt 10 ]; then
    alarms=10
    step=$(((seconds - 30) / 9))
fi
start=$(date +%s)
{
    echo "[qm-utc]"
    echo "ENABLE_ALARMS_TICKBOX=1"
    echo "LARGE_CLOCK_STARTUP_TICKBOX=1"
    for n in $(seq 1 "$alarms"); do
        at=$(date -d "@$((start + 15 + (n - 1) * step))" +%H:%M:%S)
        echo "ALARM_${n}_TICKBOX=1"
        echo "ALARM_${n}_NAME_TEXTBOX=Soak $n"
        echo "ALARM_${n}_TIME_TEXTBOX=$at"
        echo "ALARM_${n}_DISPLAY_MESSAGE_TICKBOX=1"
        echo "ALARM_${n}_MESSAGE_AUTO_CLOSE_TICKBOX=1"
        echo "ALARM_${n}_RUN_COMMAND_TICKBOX=1"
        echo "RUN_HIDDEN_${n}_TICKBOX=1"
        echo "ALARM_${n}_RUN_COMMAND_TEXTBOX=/bin/sh -c \"echo $n >> $fired\""
    done
} >"$config/QM_UTC.ini"
chmod 600 "$config/QM_UTC.ini"

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
windows_titled() { { xdotool search --name "$1" 2>/dev/null || true; } | wc -l; }
# Both the strip and the large clock are titled "QM-GLIMMER-DIAL"; the large clock is the one
# owned by the other (the strip is owned by a leader window of Qt's own).
large_clock() {
    local ids id owner
    ids=$(xdotool search --name '^QM-GLIMMER-DIAL$' 2>/dev/null || true)
    for id in $ids; do
        owner=$(xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*# //p')
        [ -n "$owner" ] && echo "$ids" | grep -qx "$((owner))" &&
            xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && echo "$id"
    done | head -n1
}
strip_window() {
    local ids id owner
    ids=$(xdotool search --name '^QM-GLIMMER-DIAL$' 2>/dev/null || true)
    for id in $ids; do
        owner=$(xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*# //p')
        { [ -z "$owner" ] || ! echo "$ids" | grep -qx "$((owner))"; } && echo "$id"
    done | head -n1
}
wait_for() { # wait_for SECONDS COMMAND...: until the command prints something
    local until=$((SECONDS + $1)) out
    shift
    while [ "$SECONDS" -lt "$until" ]; do
        out=$("$@" || true)
        [ -n "$out" ] && { echo "$out"; return 0; }
        sleep 0.2
    done
    return 1
}

"$program" &
pid=$!
say "started qm-utc (pid $pid) for $seconds s, $alarms alarms every $step s"

clock=$(wait_for 10 large_clock) || fail "the large clock did not open at start-up"
say "large clock open at start-up; closing it"
sleep 2
wmctrl -i -c "$clock"
sleep 1
[ -z "$(large_clock)" ] || fail "the large clock did not close"

baseline=""
reopened=no
while [ "$(($(date +%s) - start))" -lt "$seconds" ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    count=$(wc -l <"$fired")
    # Memory is compared from just after the first window has come and gone.
    if [ -z "$baseline" ] && [ "$count" -ge 1 ] && [ "$(windows_titled 'ALARM NOTIFICATION')" = 0 ]; then
        baseline=$(rss_kb)
        say "baseline RSS $baseline kB after the first firing"
    fi
    if [ "$reopened" = no ] && [ "$count" -ge 2 ] &&
        [ "$(windows_titled 'ALARM NOTIFICATION')" = 0 ]; then
        strip=$(strip_window)
        # The clock's middle: 960 + 1395 / 2 twips from the left, 120 + 375 / 2 from the top.
        xdotool mousemove --window "$strip" 110 20 click --repeat 2 --delay 80 1
        clock=$(wait_for 5 large_clock) || fail "a double-click did not open the large clock"
        sleep 1
        wmctrl -i -c "$clock"
        reopened=yes
        say "large clock opened by a double-click and closed"
    fi
    sleep 1
done

kill -0 "$pid" 2>/dev/null || fail "the program ended"
left=$(windows_titled 'ALARM NOTIFICATION')
[ "$left" = 0 ] || fail "$left notification windows are still open"
[ "$reopened" = yes ] || fail "the large clock was never reopened"
for n in $(seq 1 "$alarms"); do
    runs=$(grep -cx "$n" "$fired" || true)
    [ "$runs" = 1 ] || fail "alarm $n ran its command $runs times"
done
[ -n "$baseline" ] || fail "no memory baseline was taken"
end=$(rss_kb)
growth=$((end - baseline))
say "each of the $alarms alarms ran once; RSS $baseline -> $end kB (growth $growth kB)"
[ "$growth" -lt 1024 ] || fail "resident memory grew by $growth kB"
echo "PASS: soak of $seconds s"
