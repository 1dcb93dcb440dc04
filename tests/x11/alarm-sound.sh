#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The alarm sound of the real program, heard from outside: each clock plays into a private
# PulseAudio server of its own with a null sink, whose monitor is recorded (parec) and measured
# (sound_level) as it arrives. Five clocks run on one X server, each started alone with its
# alarm ten seconds later, so that the waits overlap: about a minute and a half.
#   A: Ring on: sound within 0.5 s of the alarm's second, louder at 8 s than in its first
#      half-second, silent within 1 s of OK; no stream at all before the alarm.
#   B: Ring on, SNOOZE_MINUTES=1: silent within 1 s of Snooze, ringing again within 0.5 s of
#      the second the snooze ends.
#   C: an old file without the Ring key: the window opens, nothing is heard.
#   D: SOUND_FILE is a FIFO: the window opens on its second, says why in its free area and on
#      standard error (once), and the desktop's alarm sound rings instead.
#   E: its sound server hangs (stopped with SIGSTOP): the window still opens on its second
#      and the clock says, once, that the server did not answer.
# Windows that later steps click stay open until then (Auto Close off).
# Usage: alarm-sound.sh PROGRAM SOUND_LEVEL GRABBER   (the tests' sound_level and x11_grab)
set -euo pipefail
program=$1
level=$2
grab=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-lib.sh
. "$here/x11-lib.sh"

for tool in pulseaudio parec pactl; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/setup.sh)"
done
[ -f /usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga ] ||
    fail "the desktop's alarm sound is missing (run scripts/setup.sh: sound-theme-freedesktop)"

readonly clocks="A B C D E"
readonly rate=48000
# Any sample but 0 is sound: the null sink gives exact silence otherwise, and the fade-in
# starts quiet (the desktop's sound itself begins with a quarter second of near-silence).
readonly loud=0
top=$(mktemp -d)
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$top/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
declare -A pid=() server=() recorder=()
watchers=()
finish() {
    local status=$? clock watcher
    for watcher in "${watchers[@]}"; do kill "$watcher" 2>/dev/null || true; done
    for clock in "${!pid[@]}"; do
        kill "${pid[$clock]}" 2>/dev/null || true
        wait "${pid[$clock]}" 2>/dev/null || true
    done
    for clock in "${!recorder[@]}"; do kill "${recorder[$clock]}" 2>/dev/null || true; done
    for clock in "${!server[@]}"; do
        kill -CONT "${server[$clock]}" 2>/dev/null || true
        kill "${server[$clock]}" 2>/dev/null || true
        wait "${server[$clock]}" 2>/dev/null || true
    done
    if [ "$status" != 0 ]; then
        for clock in $clocks; do
            [ -s "$top/$clock/clock.log" ] && { echo "--- clock $clock said:" >&2; cat "$top/$clock/clock.log" >&2; }
        done
    fi
    x11_stop
    rm -rf "$top"
}
trap finish EXIT
x11_start 1920x1080

readonly prefix="QM-UTC - !!! ALARM NOTIFICATION - !!! - "
figure() { echo "  $*"; }
now() { date +%s.%N; }
# A moment in seconds since the epoch and $2 seconds, to the millisecond.
plus() { awk -v s="$1" -v d="$2" 'BEGIN { printf "%.3f", s + d }'; }

sound_server() { echo "unix:$top/$1/sound/pulse/native"; }
# The sound server of clock $1 and what its monitor hears, one "TIME PEAK" line per 50 ms.
serve() {
    local dir=$top/$1/sound
    mkdir -p "$dir"
    # No session bus, and no X display to start one on: each server keeps to itself.
    env -u DISPLAY XDG_RUNTIME_DIR="$dir" HOME="$dir" DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-bus \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        -L "module-null-sink sink_name=t" -L "module-native-protocol-unix auth-anonymous=1" \
        >"$dir/server.log" 2>&1 &
    server[$1]=$!
    for _ in $(seq 200); do
        PULSE_SERVER=$(sound_server "$1") pactl info >/dev/null 2>&1 && break
        sleep 0.05
    done
    PULSE_SERVER=$(sound_server "$1") pactl info >/dev/null 2>&1 ||
        fail "clock $1: PulseAudio did not start: $(cat "$dir/server.log")"
    PULSE_SERVER=$(sound_server "$1") parec -d t.monitor --raw --format=s16le --rate=$rate \
        --channels=1 --latency-msec=20 2>/dev/null | "$level" $rate >"$top/$1/heard" &
    recorder[$1]=$!
}
streams() { PULSE_SERVER=$(sound_server "$1") pactl list short sink-inputs | wc -l; }
# The loudest sample clock $1's server played between FROM and TO (seconds since the epoch).
peak() {
    awk -v a="$2" -v b="$3" '$1 >= a && $1 <= b && $2 > m { m = $2 } END { print m + 0 }' "$top/$1/heard"
}
# When clock $1's server first played sound after FROM, or nothing.
first_sound() {
    awk -v a="$2" -v loud=$loud '$1 >= a && $2 > loud { print $1; exit }' "$top/$1/heard"
}
# Waits up to five seconds for sound after FROM, and prints how late it came after FROM.
sound_after() {
    local at
    for _ in $(seq 100); do
        at=$(first_sound "$1" "$2")
        [ -n "$at" ] && break
        sleep 0.05
    done
    [ -n "$at" ] || fail "clock $1: no sound within five seconds of $(date -d "@${2%.*}" +%T)"
    awk -v a="$2" -v b="$at" 'BEGIN { printf "%.2f", b - a }'
}
# The monitor has caught up to TO: a line arrived after it.
heard_until() {
    for _ in $(seq 100); do
        awk -v t="$2" '$1 > t { found = 1 } END { exit !found }' "$top/$1/heard" && return
        sleep 0.05
    done
    fail "clock $1: its sound server's monitor stopped"
}

settings() { clock_folder "$top/$1" "${@:2}"; }
start() {
    env XDG_CONFIG_HOME="$top/$1" XDG_RUNTIME_DIR="$top/$1/runtime" \
        PULSE_SERVER="$(sound_server "$1")" "$program" >>"$top/$1/clock.log" 2>&1 &
    pid[$1]=$!
}
window_of() { window_pid=${pid[$1]} window "$2" "${3:-}"; }
ok() { click_control "$1" 6480 2400 1935 495; }         # OK_BUTTON
snooze() { click_control "$1" 6135 1545 1080 345; }     # SNOOZE_BUTTON
# The clocks' strips in a row below their alarms' windows, which they would cover where they
# stood over them: a strip comes back above every other program's window every second.
strip() { echo "CLOCK-MAIN-Left=$(($1 * 400 * 15))" "CLOCK-MAIN-Top=$((700 * 15))"; }
# An alarm that shows its window at LEFT TOP pixels, so that the clocks' windows do not cover
# each other; "ring" adds the Ring key.
alarm() { # NAME TIME LEFT TOP [ring]
    echo ENABLE_ALARMS_TICKBOX=1 ALARM_1_TICKBOX=1 "ALARM_1_NAME_TEXTBOX=$1" \
        "ALARM_1_TIME_TEXTBOX=$2" ALARM_1_DISPLAY_MESSAGE_TICKBOX=1 \
        "ALARM_1-NOTIFICATION-MESSAGE-Left=$(($3 * 15))" "ALARM_1-NOTIFICATION-MESSAGE-Top=$(($4 * 15))"
    [ "${5:-}" = ring ] && echo ALARM_1_RING_TICKBOX=1
    return 0
}
# Notes when clock $1's alarm window first shows, whatever the script does meanwhile.
watch_window() {
    local clock=$1
    (
        for _ in $(seq 1200); do
            if xdotool search --onlyvisible --pid "${pid[$clock]}" --name "^$prefix" >/dev/null 2>&1; then
                now >"$top/$clock/window-shown"
                exit
            fi
            sleep 0.05
        done
    ) &
    watchers+=($!)
}

began=$(now)
mkfifo "$top/fifo"
declare -A second=()
# Each clock is started alone and its alarm set ten seconds after, so that however slowly the
# machine starts it, its alarm comes after it is up; the waits still overlap.
for clock in $clocks; do
    serve "$clock"
    second[$clock]=$(($(date +%s) + 10))
    at=$(date -d "@${second[$clock]}" +%H:%M:%S)
    case $clock in
    # shellcheck disable=SC2046
    A) settings A $(strip 0) $(alarm Ring "$at" 0 0 ring) ;;
    # shellcheck disable=SC2046
    B) settings B $(strip 1) SNOOZE_MINUTES=1 $(alarm Snooze "$at" 640 0 ring) ;;
    # shellcheck disable=SC2046
    C) settings C $(strip 2) $(alarm Old "$at" 1280 0) ;;
    # shellcheck disable=SC2046
    D) settings D $(strip 3) "SOUND_FILE=$top/fifo" $(alarm Fifo "$at" 0 320 ring) ;;
    # shellcheck disable=SC2046
    E) settings E $(strip 4) $(alarm Hung "$at" 640 320 ring) ;;
    esac
    start "$clock"
    watch_window "$clock"
    window_of "$clock" QM-GLIMMER-DIAL >/dev/null
    awk -v t="${second[$clock]}" -v now="$(now)" 'BEGIN { exit !(now < t - 1) }' ||
        fail "clock $clock took more than nine seconds to start"
    [ "$(streams "$clock")" = 0 ] || fail "clock $clock: a sound stream is open while no alarm rings"
done
figure "five clocks up $(awk -v a="$began" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }') s after the start, no sound stream open before their alarms"
# E's server hangs from before its alarm on: it takes connections but never answers.
kill -STOP "${server[E]}"

# The window of clock $1's alarm $2 showed on its second, not later than two seconds after.
on_time() {
    local window late
    window=$(window_of "$1" "$prefix$2")
    for _ in $(seq 40); do [ -s "$top/$1/window-shown" ] && break; sleep 0.05; done
    [ -s "$top/$1/window-shown" ] || fail "clock $1: the window of $2 was not seen showing"
    late=$(awk -v t="${second[$1]}" -v at="$(cat "$top/$1/window-shown")" 'BEGIN { printf "%.1f", at - t }')
    awk -v l="$late" 'BEGIN { exit !(l < 2) }' || fail "clock $1: the window of $2 opened only $late s after its second"
    echo "$window"
}
# After its second, clock $1's sound comes within 0.5 s.
sound_on_time() {
    local late
    late=$(sound_after "$1" "${2:-${second[$1]}}")
    figure "$1: sound ${late} s after its second"
    awk -v l="$late" 'BEGIN { exit !(l <= 0.5) }' || fail "$1: the sound came ${late} s after its second"
}
# No sound from clock $1 from a second after $2 to two seconds after, and no stream left.
silent_after() {
    local loudest
    heard_until "$1" "$(plus "$2" 2)"
    loudest=$(peak "$1" "$(plus "$2" 1)" "$(plus "$2" 2)")
    [ "$loudest" -le $loud ] || fail "$1: still sound (peak $loudest) more than a second after $3"
    [ "$(streams "$1")" = 0 ] || fail "$1: the sound stream stays open after $3"
    figure "$1: silent within a second of $3, no stream left"
}

ring=$(on_time A Ring)
sound_on_time A
snoozing=$(on_time B Snooze)
sound_on_time B
old=$(on_time C Old)
fifo=$(on_time D Fifo)
figure "D: the desktop's sound in place of the FIFO, $(sound_after D "${second[D]}") s after its second"
hung=$(on_time E Hung)
figure "five windows open on their second"

# B: Snooze silences it within a second.
snooze "$snoozing"
snoozed=$(now)
window_of B "${prefix}Snooze" gone
silent_after B "$snoozed" Snooze

# D and E: what went wrong is said once, on standard error and in the window.
grep -q "sound file $top/fifo: is a FIFO, not a sound file; the desktop's alarm sound rings instead" "$top/D/clock.log" ||
    fail "D: no line on standard error about the FIFO"
[ "$(grep -c 'is a FIFO' "$top/D/clock.log")" = 1 ] || fail "D: the FIFO was reported more than once"
figure "D: $(grep 'is a FIFO' "$top/D/clock.log")"
read -r -a free_area <<<"$(twips_px 4200) $(twips_px 1515) $(twips_px 1875) $(twips_px 390)"
"$grab" "$fifo" "${free_area[@]}" | grep -q '^#ff0000 ' || fail "D: nothing in red in the window's free area"
ok "$fifo"
for _ in $(seq 200); do
    grep -q "the sound server did not answer within 5 seconds" "$top/E/clock.log" && break
    sleep 0.05
done
grep -q "the sound server did not answer within 5 seconds" "$top/E/clock.log" ||
    fail "E: the clock did not say that its sound server did not answer"
figure "E: $(grep 'did not answer' "$top/E/clock.log")"
ok "$hung"
window_of E "${prefix}Hung" gone
kill -CONT "${server[E]}"

# A: louder at 8 s than in its first half-second; OK silences it within a second.
sleep "$(awk -v t="${second[A]}" -v now="$(now)" 'BEGIN { d = t + 10 - now; print (d > 0 ? d : 0) }')"
began_ringing=$(first_sound A "${second[A]}")
first=$(peak A "$began_ringing" "$(plus "$began_ringing" 0.5)")
later=$(peak A "$(plus "$began_ringing" 7.5)" "$(plus "$began_ringing" 8.5)")
figure "A: loudest $first in its first half-second, $later at 8 s"
[ "$later" -gt $((2 * first)) ] || fail "A: not louder at 8 s ($later) than at the start ($first)"
ok "$ring"
answered=$(now)
window_of A "${prefix}Ring" gone
silent_after A "$answered" OK

# C: the old file's alarm made no sound at all.
[ "$(peak C "$((second[C] - 1))" "$(now)")" -le $loud ] || fail "C: an alarm without Ring made a sound"
ok "$old"
figure "C: the alarm without Ring was silent"

# B rings again when its snooze ends, a minute after the second it was snoozed in.
back=$(date -d "$(sed -n 's/^ALARM_1_SNOOZED_UNTIL=//p' "$top/B/QM_UTC.ini")" +%s)
sleep "$(awk -v t="$back" -v now="$(now)" 'BEGIN { d = t - now; print (d > 0 ? d : 0) }')"
snoozing=$(window_of B "${prefix}Snooze")
sound_on_time B "$back"
ok "$snoozing"
window_of B "${prefix}Snooze" gone
echo "PASS: the alarm sound in $(awk -v a="$began" -v b="$(now)" 'BEGIN { printf "%.0f", b - a }') s"
