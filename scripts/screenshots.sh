#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of every window of the real program as the user sees it, framed by the window
# manager, taken on a private X server (Xvfb with openbox) into docs/screenshots/. With
# --scale 2 the program runs with QT_SCALE_FACTOR=2 on a screen twice as large, into
# docs/screenshots/scale2/; with --wm metacity (or xfwm4) under that window manager, into
# docs/screenshots/metacity/.
# Usage: scripts/screenshots.sh [--scale N] [--wm NAME]   (after scripts/build.sh; about half a minute)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scale=1
x11_wm=openbox
while [ $# -gt 0 ]; do
    case $1 in
    --scale) scale=${2:?"--scale needs a whole number"} ;;
    --wm) x11_wm=${2:?"--wm needs a window manager: openbox, xfwm4 or metacity"} ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
program=$top/build/qm-utc
grab=$top/build/tests/x11_grab
[ -x "$program" ] && [ -x "$grab" ] || { echo "build first: scripts/build.sh" >&2; exit 1; }
out=$top/docs/screenshots
[ "$scale" = 1 ] || out=$out/scale$scale
[ "$x11_wm" = openbox ] || out=$out/$x11_wm
mkdir -p "$out"

pixel_scale=$scale
# shellcheck source=../tests/x11/x11-lib.sh
. "$top/tests/x11/x11-lib.sh"

config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR=$config/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
pid=""
sound_pid=""
finish() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi
    if [ -n "$sound_pid" ]; then kill "$sound_pid" 2>/dev/null; wait "$sound_pid" 2>/dev/null || true; fi
    x11_stop
    rm -rf "$config"
}
trap finish EXIT
x11_start "$((1280 * scale))x$((800 * scale))"
# The test window rings while it is open: into a private sound server with a null sink, not
# into the speakers, and without a complaint in the picture.
if command -v pulseaudio >/dev/null; then
    env -u DISPLAY HOME="$config" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-bus pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 -L "module-null-sink sink_name=t" \
        -L "module-native-protocol-unix auth-anonymous=1" >/dev/null 2>&1 &
    sound_pid=$!
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.05; done
fi

# Whether a notification window's marks are lit (they flash twice a second).
marks_lit() {
    "$grab" "$1" "$(twips_px 240)" "$(twips_px 600)" "$(twips_px 975)" "$(twips_px 885)" \
        2>/dev/null | grep -q '^#ff0000 '
}

# What the screen shows of windows $3... with their frames, as NAME.png ($2), with the pointer
# out of the way; "flashing" ($1) waits for the marks of the notification window $3 to light
# up again first.
shoot_area() {
    local flashing=$1 name=$2 left=100000 top=100000 right=0 bottom=0 x y w h window
    shift 2
    xdotool mousemove $((1270 * scale)) $((790 * scale))
    sleep 0.2
    if [ "$flashing" = flashing ]; then
        for _ in $(seq 50); do marks_lit "$1" || break; sleep 0.02; done
        for _ in $(seq 50); do marks_lit "$1" && break; sleep 0.02; done
    fi
    for window in "$@"; do
        read -r x y w h <<<"$(frame_geometry "$window")"
        left=$((x < left ? x : left)) top=$((y < top ? y : top))
        right=$((x + w > right ? x + w : right)) bottom=$((y + h > bottom ? y + h : bottom))
    done
    "$grab" "$(xwininfo -root | awk '/Window id:/ {print $4}')" "$out/$name.png" \
        "$left" "$top" $((right - left)) $((bottom - top))
    echo "$out/$name.png"
}

shoot() { shoot_area "${3:-still}" "$2" "$1"; }

# A few alarms to show, one of them firing a few seconds after the start (its window offers
# Snooze), some on certain days of the week only, and one with a time the clock can never show
# (it turns red) and nothing ticked to do (its row says "does nothing").
at=$(date -d '+6 seconds' +%H:%M:%S)
cat >"$config/QM_UTC.ini" <<INI
[qm-utc]
ENABLE_ALARMS_TICKBOX=1
ALARM_1_TICKBOX=1
ALARM_1_NAME_TEXTBOX=Tea
ALARM_1_TIME_TEXTBOX=$at
ALARM_1_DISPLAY_MESSAGE_TICKBOX=1
ALARM_1_MESSAGE_TEXTBOX=The kettle has boiled
ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX=1
ALARM_1-NOTIFICATION-MESSAGE-Left=1500
ALARM_1-NOTIFICATION-MESSAGE-Top=1350
ALARM_2_TICKBOX=1
ALARM_2_NAME_TEXTBOX=Stand-up
ALARM_2_TIME_TEXTBOX=09:15:00
ALARM_2_DISPLAY_MESSAGE_TICKBOX=1
ALARM_2_MESSAGE_TEXTBOX=Daily meeting, room 2
ALARM_2_DAYS=Mon Tue Wed Thu Fri
ALARM_2_RING_TICKBOX=1
ALARM_3_TICKBOX=1
ALARM_3_NAME_TEXTBOX=Backup
ALARM_3_TIME_TEXTBOX=12:30:00
ALARM_3_DATE=2026-12-24
ALARM_3_RUN_COMMAND_TICKBOX=1
ALARM_3_RUN_COMMAND_TEXTBOX=/usr/bin/rsync -a /home/ann/Documents /media/backup
RUN_HIDDEN_3_TICKBOX=1
ALARM_6_TICKBOX=1
ALARM_6_NAME_TEXTBOX=Bus
ALARM_6_TIME_TEXTBOX=17:05:00
ALARM_6_DISPLAY_MESSAGE_TICKBOX=1
ALARM_6_MESSAGE_TEXTBOX=Bus at 17:20
ALARM_6_RUN_COMMAND_TICKBOX=1
ALARM_6_RUN_COMMAND_TEXTBOX=notify-send "Time to leave" "Bus at 17:20"
ALARM_6_RING_TICKBOX=1
ALARM_7_TICKBOX=1
ALARM_7_NAME_TEXTBOX=Gym
ALARM_7_TIME_TEXTBOX=7:30
ALARM_7_DAYS=Mon Wed Fri
INI
chmod 600 "$config/QM_UTC.ini"

QT_SCALE_FACTOR=$scale "$program" &
pid=$!
strip=$(window QM-GLIMMER-DIAL)

# The alarm fires while nothing else is open, its window placed over the lower part of the
# strip: it comes up above it.
notification=$(window "QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea")
sleep 1 # the countdown has started
shoot_area flashing notification "$notification" "$strip"
click_control "$notification" 6480 2400 1935 495 # OK_BUTTON
window "QM-UTC - !!! ALARM NOTIFICATION - !!! - Tea" gone

shoot "$strip" strip

large=$(large_clock "$strip")
shoot "$large" large-clock
click_control "$large" 120 240 375 375 # QM_CLOSE_BUTTON
large_clock "$strip" closed
settings=$(click_for_window "$strip" 120 120 735 375 "QM-UTC - SETTINGS") # QUILL_MARSH_BUTTON
shoot "$settings" settings

colours=$(click_for_window "$settings" 3600 960 975 615 "QM-UTC - SET TIME CLOCK DISPLAY COLORS") # COLORS_BUTTON
shoot "$colours" colours
wmctrl -i -c "$colours"
window "QM-UTC - SET TIME CLOCK DISPLAY COLORS" gone

alarms=$(click_for_window "$settings" 4920 960 1095 615 "QM-UTC - ALARM SETTINGS") # ALARM_SETTINGS_BUTTON
shoot "$alarms" alarm-settings
# Alarm 2's row alone, with its Ring ticked: the block from the line above it to the one below.
"$grab" "$alarms" "$out/alarm-row.png" 0 "$(twips_px 1785)" "$(twips_px 6855)" "$(twips_px 1350)"
echo "$out/alarm-row.png"

test_window=$(click_for_window "$alarms" 2160 7320 3015 495 "QM-UTC !!! TEST ALARM NOTIFICATION - MANUAL COMMAND ONLY - SETTINGS NOT SAVED !!!") # TEST_ALARM_WINDOW_BUTTON
shoot "$test_window" test-notification flashing
