#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program from outside, on an X server and window manager of its own: the real clock
# with a throw-away settings folder, driven by clicks and keys at its controls' laid-out places,
# its settings file read and written by hand, every process it starts ended by its id.
# Usage: e2e.sh PROGRAM GRABBER   (GRABBER: the tests' x11_grab helper)
#
# Each step is one function and starts the clock afresh; the list at the end runs them in turn.
set -euo pipefail
program=$1
grab=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-lib.sh
. "$here/x11-lib.sh"

config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
# Alarm times are written HH:MM:SS; the regional format must not matter, but keep it plain.
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$config/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
pid=""
busy=()

finish() {
    local status=$?
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi
    stop_load
    if [ "$status" != 0 ] && [ -s "$config/clock.log" ]; then
        echo "--- the clock said:" >&2
        cat "$config/clock.log" >&2
    fi
    x11_stop
    rm -rf "$config"
}
trap finish EXIT
x11_start

# Pixels of the strip, at 96 dots per inch: frame 364 x 60 wide, 168 x 60 narrow.
readonly wide="364 60" narrow="168 60"
readonly strip_title=QM-GLIMMER-DIAL

# The settings file, replaced by these key=value lines.
write_settings() {
    printf '[qm-utc]\n' >"$config/QM_UTC.ini"
    printf '%s\n' "$@" >>"$config/QM_UTC.ini"
    chmod 600 "$config/QM_UTC.ini"
}

start_clock() {
    "$program" >>"$config/clock.log" 2>&1 &
    pid=$!
    strip=$(window "$strip_title")
}

close_clock() {
    wmctrl -i -c "$strip"
    wait_for_exit "$pid"
    pid=""
}

# Starts a loop that keeps one core busy; stop_load ends them all.
start_load() {
    bash -c 'while :; do :; done' &
    busy+=("$!")
}

stop_load() {
    for loop in "${busy[@]}"; do kill "$loop" 2>/dev/null || true; done
    for loop in "${busy[@]}"; do wait "$loop" 2>/dev/null || true; done
    busy=()
}

# The colours in a control laid out at LEFT TOP WIDTH HEIGHT twips of a window, most frequent
# first ("#rrggbb count" a line).
colours_in() {
    "$grab" "$1" "$(twips_px "$2")" "$(twips_px "$3")" "$(twips_px "$4")" "$(twips_px "$5")"
}

# A command line that appends the moment it ran to FILE, as a person would type it.
stamp_command() { echo "/bin/sh -c \"date +%s.%N >> $1\""; }

# Lines of FILE after waiting up to SECONDS for it to have any.
wait_for_lines() {
    for _ in $(seq $(($2 * 20))); do
        [ -s "$1" ] && break
        sleep 0.05
    done
    [ -s "$1" ] && wc -l <"$1" || echo 0
}

step_first_start() {
    rm -f "$config/QM_UTC.ini"
    start_clock
    [ "$(xdotool getwindowname "$strip")" = "$strip_title" ] || fail "title is '$(xdotool getwindowname "$strip")'"
    frame_at "$strip" "67 67 $wide"
    close_clock
    [ "$(stored CLOCK-MAIN-Left)/$(stored CLOCK-MAIN-Top)" = 1000/1000 ] ||
        fail "an unmoved strip stored $(stored CLOCK-MAIN-Left)/$(stored CLOCK-MAIN-Top)"
}

# Twenty starts at stored places with both cores busy, each in a new session (its own X server
# and window manager, as the window manager's first window is the likeliest to be misplaced):
# every frame lands exactly there and stays.
step_stored_place_under_load() {
    local exact=0 misses="" x y geometry
    start_load
    start_load
    for i in $(seq 20); do
        x11_stop
        x11_start
        x=$((100 + 7 * i)) y=$((90 + 11 * i))
        write_settings "CLOCK-MAIN-Left=$((x * 15))" "CLOCK-MAIN-Top=$((y * 15))"
        start_clock
        geometry=$(frame_settles_at "$strip" "$x $y $wide" 3)
        sleep 0.3
        geometry=$(frame_geometry "$strip")
        if [ "$geometry" = "$x $y $wide" ]; then
            exact=$((exact + 1))
        else
            misses="$misses [$x $y: $geometry]"
        fi
        close_clock
    done
    stop_load
    echo "  $exact of 20 starts under load framed exactly at the stored place$misses"
    [ "$exact" = 20 ] || fail "only $exact of 20 starts landed at the stored place"
}

step_move_and_reopen() {
    write_settings "CLOCK-MAIN-Left=1500" "CLOCK-MAIN-Top=1500"
    start_clock
    frame_at "$strip" "100 100 $wide"
    wmctrl -i -r "$strip" -e 1,200,150,-1,-1
    frame_at "$strip" "200 150 $wide"
    close_clock
    [ "$(stored CLOCK-MAIN-Left)/$(stored CLOCK-MAIN-Top)" = 3000/2250 ] ||
        fail "the moved strip stored $(stored CLOCK-MAIN-Left)/$(stored CLOCK-MAIN-Top)"
    start_clock
    frame_at "$strip" "200 150 $wide"
    close_clock
}

# Alarm 1 written into the file by hand, a few seconds ahead, with Auto Close: its command
# runs once, at its second, and its window opens and closes itself eleven seconds later.
step_alarm_from_file() {
    local out=$config/fired-from-file at title opened closed
    at=$(date -d '+5 seconds' +%H:%M:%S)
    write_settings ENABLE_ALARMS_TICKBOX=1 ALARM_1_TICKBOX=1 ALARM_1_NAME_TEXTBOX=Tea \
        "ALARM_1_TIME_TEXTBOX=$at" ALARM_1_DISPLAY_MESSAGE_TICKBOX=1 \
        "ALARM_1_MESSAGE_TEXTBOX=The kettle" ALARM_1_RUN_COMMAND_TICKBOX=1 \
        "ALARM_1_RUN_COMMAND_TEXTBOX=$(stamp_command "$out")" ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX=1
    start_clock
    title="QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea"
    window "$title" >/dev/null
    opened=$(date +%s.%N)
    [ "$(wait_for_lines "$out" 2)" = 1 ] || fail "the alarm's command did not run"
    [ "$(date -d "@$(head -n1 "$out")" +%H:%M:%S)" = "$at" ] ||
        fail "the command ran at $(date -d "@$(head -n1 "$out")" +%T.%N), not at $at"
    window "$title" gone
    closed=$(date +%s.%N)
    awk -v a="$opened" -v b="$closed" 'BEGIN {
        printf "  the notification window closed itself %.1f s after it appeared\n", b - a
        exit !(b - a > 10 && b - a < 12.5) }' || fail "it did not close eleven seconds after opening"
    [ "$(wc -l <"$out")" = 1 ] || fail "the command ran $(wc -l <"$out") times"
    [ "$(stored ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX)" = 1 ] || fail "Auto Close not kept as 1"
    close_clock
}

# The settings window from the emblem: unticking Show UpTime narrows the strip at once; a
# palette click recolours the running clock.
step_settings_window() {
    local settings colours shown
    # Below the windows it opens, so that its pixels can be read.
    write_settings CLOCK-MAIN-Left=1500 CLOCK-MAIN-Top=9000
    start_clock
    frame_at "$strip" "100 600 $wide"
    settings=$(click_for_window "$strip" 120 120 735 375 "QM-UTC - SETTINGS") # QUILL_MARSH_BUTTON
    click_tick_box "$settings" 2160 840 1335 375 # SHOW_UPTIME_TICKBOX
    frame_settles_at "$strip" "* * $narrow" 1 >/dev/null
    [[ $(frame_geometry "$strip") == *" $narrow" ]] ||
        fail "the strip did not narrow at once: $(frame_geometry "$strip")"

    colours=$(click_for_window "$settings" 3600 960 975 615 "QM-UTC - SET TIME CLOCK DISPLAY COLORS") # COLORS_BUTTON
    click_control "$colours" 1920 1080 735 375 # RED_FOREGROUND_COLOR_BUTTON
    click_control "$colours" 7320 1080 735 375 # YELLOW_BACKGROUND_COLOR_BUTTON
    for _ in $(seq 40); do
        shown=$(colours_in "$strip" 960 120 1395 375) # LIVE_TIME_LABEL
        [ "$(echo "$shown" | head -n1 | cut -d' ' -f1)" = "#ffff00" ] && break
        sleep 0.05
    done
    [ "$(echo "$shown" | head -n1 | cut -d' ' -f1)" = "#ffff00" ] ||
        fail "the clock's background is not yellow: $(echo "$shown" | head -n3 | tr '\n' ' ')"
    echo "$shown" | grep -q '^#ff0000 ' || fail "the clock's text is not red"

    xdotool key --window "$colours" Escape
    window "QM-UTC - SET TIME CLOCK DISPLAY COLORS" gone
    wmctrl -i -c "$settings"
    window "QM-UTC - SETTINGS" gone
    [ -z "$(stored CLOCK_FORECOLOR)" ] || fail "colours closed without OK were stored"
    [[ $(frame_geometry "$strip") == *" $narrow" ]] || fail "the strip widened again"
    close_clock
}

# An alarm made in the alarm settings window fires without a restart.
step_alarm_from_window() {
    local out=$config/fired-from-window settings alarms at confirmed
    rm -f "$config/QM_UTC.ini"
    start_clock
    frame_at "$strip" "67 67 $wide"
    settings=$(click_for_window "$strip" 120 120 735 375 "QM-UTC - SETTINGS") # QUILL_MARSH_BUTTON
    alarms=$(click_for_window "$settings" 4920 960 1095 615 "QM-UTC - ALARM SETTINGS") # ALARM_SETTINGS_BUTTON
    click_tick_box "$alarms" 5520 120 2415 255 # ENABLE_ALARMS_TICKBOX
    click_control "$alarms" 240 840 255 375    # ALARM_1_TICKBOX
    at=$(date -d '+9 seconds' +%H:%M:%S)
    click_control "$alarms" 2400 840 975 285 # ALARM_1_TIME_TEXTBOX
    xdotool key ctrl+a
    xdotool type --delay 20 "$at"
    click_tick_box "$alarms" 720 1200 1575 255  # ALARM_1_RUN_COMMAND_TICKBOX
    click_control "$alarms" 720 1440 5895 285 # ALARM_1_RUN_COMMAND_TEXTBOX
    xdotool key ctrl+a
    xdotool type --delay 20 "$(stamp_command "$out")"
    click_control "$alarms" 9120 7320 2655 495 # OK_BUTTON
    window "QM-UTC - ALARM SETTINGS" gone
    [ "$(stored ALARM_1_TIME_TEXTBOX)" = "$at" ] || fail "the time stored is '$(stored ALARM_1_TIME_TEXTBOX)'"
    [ "$(stored ALARM_1_RUN_COMMAND_TEXTBOX)" = "$(stamp_command "$out")" ] ||
        fail "the command stored is '$(stored ALARM_1_RUN_COMMAND_TEXTBOX)'"
    confirmed=$(date +%T)
    [ "$(wait_for_lines "$out" 12)" = 1 ] ||
        fail "the alarm made in the window for $at did not fire (OK at $confirmed)"
    [ "$(date -d "@$(head -n1 "$out")" +%H:%M:%S)" = "$at" ] ||
        fail "the command ran at $(date -d "@$(head -n1 "$out")" +%T.%N), not at $at"
    sleep 1.2
    [ "$(wc -l <"$out")" = 1 ] || fail "the command ran $(wc -l <"$out") times"
    wmctrl -i -c "$settings"
    window "QM-UTC - SETTINGS" gone
    close_clock
}

# A double-click on the clock opens the large clock over the strip, modal, with the clock's
# colours; the strip's emblem does nothing meanwhile; its close button keeps where it was.
step_large_clock() {
    local large shown
    # Red text on yellow (colours are stored as 0xBBGGRR).
    write_settings CLOCK-MAIN-Left=1500 CLOCK-MAIN-Top=9000 LARGE_CLOCK-Left=4500 \
        LARGE_CLOCK-Top=3000 CLOCK_FORECOLOR=255 CLOCK_BACKCOLOR=65535
    start_clock
    frame_at "$strip" "100 600 $wide"
    large=$(large_clock "$strip")
    frame_at "$large" "300 200 204 81"
    xprop -id "$large" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL || fail "the large clock is not modal"
    for _ in $(seq 40); do
        shown=$(colours_in "$large" 600 120 2295 660) # TIME_LABEL_MIRROR
        [ "$(echo "$shown" | head -n1 | cut -d' ' -f1)" = "#ffff00" ] && break
        sleep 0.05
    done
    [ "$(echo "$shown" | head -n1 | cut -d' ' -f1)" = "#ffff00" ] ||
        fail "the large clock's background is not yellow: $(echo "$shown" | head -n3 | tr '\n' ' ')"
    echo "$shown" | grep -q '^#ff0000 ' || fail "the large clock's text is not red"

    click_control "$strip" 120 120 735 375 # QUILL_MARSH_BUTTON
    sleep 0.5
    [ -z "$(xdotool search --name '^QM-UTC - SETTINGS$' 2>/dev/null || true)" ] ||
        fail "the strip took a click while the large clock was open"

    wmctrl -i -r "$large" -e 1,330,210,-1,-1
    frame_at "$large" "330 210 204 81"
    click_control "$large" 120 240 375 375 # QM_CLOSE_BUTTON
    large_clock "$strip" closed
    [ "$(stored LARGE_CLOCK-Left)/$(stored LARGE_CLOCK-Top)" = 4950/3150 ] ||
        fail "the large clock stored $(stored LARGE_CLOCK-Left)/$(stored LARGE_CLOCK-Top)"
    close_clock
}

# Another program's window that keeps itself on top, activated over the strip: the strip is
# above it again within a second and a half.
step_always_on_top() {
    local other began
    rm -f "$config/QM_UTC.ini"
    start_clock
    xlogo -geometry 400x200+20+20 2>/dev/null &
    busy+=("$!") # ended with the load loops
    other=$(window xlogo)
    wmctrl -i -r "$other" -b add,above
    xdotool windowactivate --sync "$other"
    began=$(date +%s%N)
    until above "$strip" "$other"; do
        [ $(($(date +%s%N) - began)) -le 1500000000 ] || fail "the strip stayed under another window"
        sleep 0.05
    done
    echo "  the strip was above the other window again after $((($(date +%s%N) - began) / 1000000)) ms"
    stop_load
    close_clock
}

# E2E_STEPS="step_a step_b" runs only those.
steps=(
    step_first_start
    step_stored_place_under_load
    step_move_and_reopen
    step_alarm_from_file
    step_settings_window
    step_alarm_from_window
    step_large_clock
    step_always_on_top
)
[ -n "${E2E_STEPS:-}" ] && read -r -a steps <<<"$E2E_STEPS"
for step in "${steps[@]}"; do
    began=$(date +%s.%N)
    "$step"
    awk -v s="$step" -v a="$began" -v b="$(date +%s.%N)" 'BEGIN { printf "ok %-32s %5.1f s\n", s, b - a }'
done
echo "PASS: end to end"
