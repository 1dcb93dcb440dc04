#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Days of the week, Snooze and missed alarms of the real program, from outside, on an X server
# of its own (openbox unless x11_wm says otherwise). Four clocks run at once, each with a
# settings folder of its own, so that the real-time waits overlap: about three minutes.
#   A: Snooze (SNOOZE_MINUTES=1) brings the alarm back after a minute, and again after a restart.
#   B: an alarm for tomorrow's weekday only does not fire today; then the clock is stopped
#      (SIGSTOP) for two minutes over another alarm: one "Missed at" window, nothing run.
#   C: its clock moved two minutes forward by libfaketime over its alarm: the same.
#   D: an old settings file without the new keys fires as before, and keeps what it had.
# Windows that later steps read or click stay open until then (Auto Close off), so the script
# holds whatever the machine's speed or the day of the week.
# --next, which says what the clock's tooltip says, names the day of an alarm days ahead.
# Usage: alarm-days-snooze-missed.sh PROGRAM GRABBER   (GRABBER: the tests' x11_grab helper)
set -euo pipefail
program=$1
grab=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-lib.sh
. "$here/x11-lib.sh"

faketime_lib=$(find /usr/lib -path '*/faketime/libfaketimeMT.so.1' 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is missing (run scripts/setup.sh)"
command -v tesseract >/dev/null || fail "tesseract is missing (run scripts/setup.sh)"

top=$(mktemp -d)
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$top/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
declare -A pid=()
finish() {
    local status=$? clock
    for clock in "${!pid[@]}"; do
        kill -CONT "${pid[$clock]}" 2>/dev/null || true
        kill "${pid[$clock]}" 2>/dev/null || true
        wait "${pid[$clock]}" 2>/dev/null || true
    done
    if [ "$status" != 0 ]; then
        for clock in A B C D; do
            [ -s "$top/$clock/clock.log" ] && { echo "--- clock $clock said:" >&2; cat "$top/$clock/clock.log" >&2; }
        done
    fi
    x11_stop
    rm -rf "$top"
}
trap finish EXIT
x11_start

readonly prefix="QM-UTC - !!! ALARM NOTIFICATION - !!! - "
# The steps compare today with tomorrow: a run that would cross midnight waits for it first.
if [ "$(date +%F)" != "$(date -d @$(($(date +%s) + 150)) +%F)" ]; then
    echo "  waiting for midnight to pass"
    sleep $(($(date -d 'tomorrow 00:00' +%s) - $(date +%s) + 2))
fi
began=$(date +%s.%N)
# Fifteen seconds for four clocks to come up on a loaded machine before the first alarm counts.
t0=$(($(date +%s) + 15))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
# Sleeps until t0 + N seconds.
until_second() {
    local left
    left=$(awk -v t="$((t0 + $1))" -v now="$(date +%s.%N)" 'BEGIN { d = t - now; print (d > 0 ? d : 0) }')
    sleep "$left"
}
# Sleeps until the stored moment $1 (YYYY-MM-DDTHH:MM:SS) has come.
until_moment() { until_second $(($(date -d "$1" +%s) - t0)); }
figure() { echo "  $*"; }

# The settings folder of clock $1, its file replaced by the key=value lines given.
settings() { clock_folder "$top/$1" "${@:2}"; }
value() { sed -n "s/^$2=//p" "$top/$1/QM_UTC.ini"; }
# Starts clock $1, with the environment given after it, in its own folder.
# Under a libfaketime of the whole run (faketime -f +3d, to try another day of the week) a
# clock with its own timestamp file drops the outer offset, which would win over the file; the
# file's offsets include it instead (outer_offset).
outer_offset=$((($(date +%s%N) - $(env -u LD_PRELOAD date +%s%N) + 500000000) / 1000000000))
start() {
    local clock=$1 own=()
    shift
    [[ "$*" == *FAKETIME_TIMESTAMP_FILE=* ]] && own=(-u FAKETIME)
    env "${own[@]}" XDG_CONFIG_HOME="$top/$clock" XDG_RUNTIME_DIR="$top/$clock/runtime" "$@" \
        "$program" >>"$top/$clock/clock.log" 2>&1 &
    pid[$clock]=$!
}
next_of() { XDG_CONFIG_HOME="$top/$1" XDG_RUNTIME_DIR="$top/$1/runtime" "$program" --next; }
# The window of clock $1 with exactly the title $2 once framed, or "gone" ($3).
window_of() { window_pid=${pid[$1]} window "$2" "${3:-}"; }
windows_titled() { xdotool search --all --pid "${pid[$1]}" --name "^$2\$" 2>/dev/null | wc -l; }
close_clock() {
    wmctrl -i -c "$(window_of "$1" QM-GLIMMER-DIAL)"
    wait_for_exit "${pid[$1]}"
    wait "${pid[$1]}" 2>/dev/null || true
    unset "pid[$1]"
}
stamp_command() { echo "/bin/sh -c \"date +%s.%N >> $1\""; }
ran() { [ -s "$1" ] && wc -l <"$1" || echo 0; }
ran_at() { date -d "@$(sed -n "${2:-1}p" "$1")" +%H:%M:%S; }
# An alarm's notification window placed at LEFT TOP (pixels), so that the clocks' windows do
# not cover each other.
placed() { echo "ALARM_$1-NOTIFICATION-MESSAGE-Left=$(($2 * 15))" "ALARM_$1-NOTIFICATION-MESSAGE-Top=$(($3 * 15))"; }
alarm() { # N NAME TIME
    echo "ALARM_$1_TICKBOX=1" "ALARM_$1_NAME_TEXTBOX=$2" "ALARM_$1_TIME_TEXTBOX=$3" \
        "ALARM_$1_DISPLAY_MESSAGE_TICKBOX=1" "ALARM_$1_RUN_COMMAND_TICKBOX=1"
}
# The mark of a missed alarm in window $1: red pixels where it sits, and its text as read.
read -r -a mark <<<"$(twips_px 4470) $(twips_px 1515) $(twips_px 1605) $(twips_px 390)"
mark_text() {
    "$grab" "$1" "$top/mark.png" "${mark[@]}" 4
    tesseract "$top/mark.png" - --psm 7 2>/dev/null | tr -s ' ' | sed 's/^ //; s/ $//' | head -n1
}
check_missed() { # CLOCK NAME ALARM_TIME STAMPFILE WHY
    local window count text
    window=$(window_of "$1" "$prefix$2")
    sleep 2 # a second report would have come by now
    count=$(windows_titled "$1" "$prefix$2")
    [ "$count" = 1 ] || fail "clock $1: $count windows for $2"
    "$grab" "$window" "${mark[@]}" | grep -q '^#ff0000 ' ||
        fail "clock $1: no mark in the window of $2"
    text=$(mark_text "$window")
    figure "clock $1: the window of $2 reads '$text'"
    [ "$text" = "Missed at $3" ] || fail "clock $1: the mark reads '$text', not 'Missed at $3'"
    [ "$(ran "$4")" = 0 ] || fail "clock $1: the command of a missed alarm ran"
    grep -q "\"$2\": missed at $3 on .*: $5" "$top/$1/clock.log" ||
        fail "clock $1: no line on standard error saying $2 was missed because $5"
    [ "$(grep -c "\"$2\": missed at" "$top/$1/clock.log")" = 1 ] || fail "clock $1: more than one report"
    figure "clock $1: $(grep "\"$2\": missed at" "$top/$1/clock.log")"
    click_control "$window" 6480 2400 1935 495 # OK_BUTTON
    window_of "$1" "$prefix$2" gone
}

# A: fires at t0+6; Snooze after a minute, and again across a restart.
# shellcheck disable=SC2046
settings A ENABLE_ALARMS_TICKBOX=1 SNOOZE_MINUTES=1 CLOCK-MAIN-Left=0 CLOCK-MAIN-Top=0 \
    $(alarm 1 Tea "$(at 6)") "ALARM_1_RUN_COMMAND_TEXTBOX=$(stamp_command "$top/A/fired")" \
    $(placed 1 0 300)
# B: an alarm at t0+8 for tomorrow only; stopped from t0+10 to t0+130, over its alarm at t0+20.
tomorrow=$(date -d "@$((t0 + 86400))" +%a)
# shellcheck disable=SC2046
settings B ENABLE_ALARMS_TICKBOX=1 CLOCK-MAIN-Left=6000 CLOCK-MAIN-Top=0 \
    $(alarm 1 Late "$(at 20)") "ALARM_1_RUN_COMMAND_TEXTBOX=$(stamp_command "$top/B/fired")" \
    $(placed 1 640 300) \
    $(alarm 2 Gym "$(at 8)") "ALARM_2_RUN_COMMAND_TEXTBOX=$(stamp_command "$top/B/fired-gym")" \
    "ALARM_2_DAYS=$tomorrow"
# C: at t0+15 its clock moves two minutes forward, over its alarm at t0+25.
# shellcheck disable=SC2046
settings C ENABLE_ALARMS_TICKBOX=1 CLOCK-MAIN-Left=0 CLOCK-MAIN-Top=1500 \
    $(alarm 1 Shifted "$(at 25)") "ALARM_1_RUN_COMMAND_TEXTBOX=$(stamp_command "$top/C/fired")" \
    $(placed 1 0 560)
# D: a file as older programs wrote it.
# shellcheck disable=SC2046
settings D ENABLE_ALARMS_TICKBOX=1 CLOCK-MAIN-Left=6000 CLOCK-MAIN-Top=1500 \
    $(alarm 2 Old "$(at 8)") "ALARM_2_RUN_COMMAND_TEXTBOX=$(stamp_command "$top/D/fired-old")" \
    ALARM_2_MESSAGE_AUTO_CLOSE_TICKBOX=0 $(placed 2 640 560) "UNKNOWN_KEY_OF_ANOTHER_PROGRAM=kept"
printf '%+d\n' "$outer_offset" >"$top/C/faketime"

start A
start B
start C LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$top/C/faketime" \
    FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
start D
for clock in A B C D; do window_of "$clock" QM-GLIMMER-DIAL >/dev/null; done
figure "four clocks up $(awk -v a="$began" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s after the start"

# First what must happen at its second: B stopped before its alarm, C moved over its own.
until_second 10
kill -STOP "${pid[B]}"
stopped=$(date +%s.%N)
until_second 15
printf '%+d\n' $((outer_offset + 120)) >"$top/C/faketime"
moved=$(date +%s.%N)

# A's alarm, open since its second, snoozed.
tea=$(window_of A "${prefix}Tea")
[ "$(ran "$top/A/fired")" = 1 ] && [ "$(ran_at "$top/A/fired")" = "$(at 6)" ] ||
    fail "A: the alarm did not run its command once at $(at 6)"
pressed=$(date +%s)
click_control "$tea" 6135 1545 1080 345 # SNOOZE_BUTTON
window_of A "${prefix}Tea" gone
until1=$(value A ALARM_1_SNOOZED_UNTIL)
figure "A: fired at $(ran_at "$top/A/fired"), snoozed at $(date -d "@$pressed" +%T) until $until1"
# A minute from the press of Snooze, which a loaded machine may make seconds after the alarm.
[ "$(date -d "$until1" +%s)" -ge $((pressed + 59)) ] && [ "$(date -d "$until1" +%s)" -le $((pressed + 65)) ] ||
    fail "A: snoozed until $until1, not a minute after Snooze was pressed at $(date -d "@$pressed" +%T)"
[[ $(next_of A) == "Next alarm: Tea, snoozed, at ${until1#*T}, in "* ]] ||
    fail "A: --next says '$(next_of A)'"

# D: the old file fired as before. B: tomorrow's alarm did not.
old=$(window_of D "${prefix}Old")
[ "$(ran "$top/D/fired-old")" = 1 ] && [ "$(ran_at "$top/D/fired-old")" = "$(at 8)" ] ||
    fail "D: the old file's alarm did not run its command once at $(at 8)"
[ "$(ran "$top/B/fired-gym")" = 0 ] || fail "B: the alarm for $tomorrow ran today"
[ "$(windows_titled B "${prefix}Gym")" = 0 ] || fail "B: the alarm for $tomorrow opened its window today"
figure "D: the old file's alarm fired at $(ran_at "$top/D/fired-old"); B: the alarm for $tomorrow did not"
click_control "$old" 6480 2400 1935 495 # OK_BUTTON
window_of D "${prefix}Old" gone
# --next for the same alarm alone, and for one on the day after tomorrow.
# shellcheck disable=SC2046
settings E ENABLE_ALARMS_TICKBOX=1 $(alarm 2 Gym "$(at 8)") "ALARM_2_DAYS=$tomorrow"
next=$(next_of E)
figure "--next, alarm for $tomorrow at $(at 8): $next"
[[ $next == "Next alarm: Gym at $(at 8), in 2"[34]" h "* ]] || fail "--next says '$next'"
later=$(date -d '+2 days' +%F)
# shellcheck disable=SC2046
settings E ENABLE_ALARMS_TICKBOX=1 $(alarm 3 Swim 12:00:00) "ALARM_3_DAYS=$(date -d "$later" +%a)"
left=$((($(date -d "$later 12:00:00" +%s) - $(date +%s)) / 60))
next=$(next_of E)
figure "--next, alarm for $(date -d "$later" +%a) at 12:00:00: $next"
[ "$next" = "Next alarm: Swim on $(date -d "$later" +%A) at 12:00:00, in $((left / 1440)) d $((left / 60 % 24)) h" ] ||
    [ "$next" = "Next alarm: Swim on $(date -d "$later" +%A) at 12:00:00, in $(((left - 1) / 1440)) d $(((left - 1) / 60 % 24)) h" ] ||
    fail "--next says '$next'"
[ "$(XDG_CONFIG_HOME=$top/E XDG_RUNTIME_DIR=$top/E/runtime "$program" --list | sed -n 3p | cut -f6)" = "$(date -d "$later" +%a)" ] ||
    fail "--list does not show the days"

# C: moved two minutes forward, over its alarm.
check_missed C Shifted "$(at 25)" "$top/C/fired" "the system clock was set forward"
figure "C: reported $(awk -v a="$moved" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a - 2 }') s after its clock moved"

# D closes: nothing of the new keys was written into the old file, and the unknown key stays.
close_clock D
! grep -Eq '_DAYS=|SNOOZE' "$top/D/QM_UTC.ini" ||
    fail "D: new keys written into the old file: $(grep -E '_DAYS=|SNOOZE' "$top/D/QM_UTC.ini")"
[ "$(value D UNKNOWN_KEY_OF_ANOTHER_PROGRAM)" = kept ] || fail "D: an unknown key was lost"
close_clock C

# A comes back a minute later, as itself; snoozed again, it comes back after a restart too.
until_moment "$until1"
tea=$(window_of A "${prefix}Tea")
[ "$(ran "$top/A/fired")" = 2 ] && [ "$(ran_at "$top/A/fired" 2)" = "${until1#*T}" ] ||
    fail "A: the snoozed alarm did not run its command again at ${until1#*T}"
figure "A: came back at $(ran_at "$top/A/fired" 2)"
click_control "$tea" 6135 1545 1080 345 # SNOOZE_BUTTON
window_of A "${prefix}Tea" gone
until2=$(value A ALARM_1_SNOOZED_UNTIL)
close_clock A
[ "$(value A ALARM_1_SNOOZED_UNTIL)" = "$until2" ] || fail "A: the snooze was not kept over the end"
start A
window_of A QM-GLIMMER-DIAL >/dev/null
figure "A: snoozed again until $until2 and restarted"

until_second 130
kill -CONT "${pid[B]}"
continued=$(date +%s.%N)
figure "B: stopped for $(awk -v a="$stopped" -v b="$continued" 'BEGIN { printf "%.1f", b - a }') s"
check_missed B Late "$(at 20)" "$top/B/fired" "the computer was asleep or the clock was stopped"
figure "B: reported $(awk -v a="$continued" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a - 2 }') s after it went on"
until_moment "$until2"

tea=$(window_of A "${prefix}Tea")
[ "$(ran "$top/A/fired")" = 3 ] && [ "$(ran_at "$top/A/fired" 3)" = "${until2#*T}" ] ||
    fail "A: after the restart the snoozed alarm did not run at ${until2#*T}"
[ -z "$(value A ALARM_1_SNOOZED_UNTIL)" ] || fail "A: the spent snooze is still stored"
figure "A: came back after the restart at $(ran_at "$top/A/fired" 3)"
click_control "$tea" 6480 2400 1935 495 # OK_BUTTON
window_of A "${prefix}Tea" gone
close_clock A
close_clock B
echo "PASS: days, snooze and missed alarms in $(awk -v a="$began" -v b="$(date +%s.%N)" 'BEGIN { printf "%.0f", b - a }') s"
