#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The large clock on a real X server with a window manager: opened by a double-click on the
# strip's clock; its frame, no taskbar entry, modal and owned by the strip, and the position
# it keeps when closed with the close box. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
# shellcheck source=tests/x11/clock-prologue.sh
. "$(dirname "$0")/clock-prologue.sh"

# The framed windows titled like the strip, one id a line.
titled() {
    local id
    for id in $(xdotool search --name '^QM-GLIMMER-DIAL$' 2>/dev/null || true); do
        if xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; then
            echo "$id"
        fi
    done
}

# The titled window that another titled window owns (the large clock), or the one that no
# titled window owns (the strip; Qt makes it transient for its own leader window).
owned() {
    local ids id owner
    ids=$(titled)
    for id in $ids; do
        owner=$(xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*# //p')
        if echo "$ids" | grep -qx "$((owner))"; then
            [ "$1" = yes ] && echo "$id"
        else
            [ "$1" = no ] && echo "$id"
        fi
    done
    return 0
}

wait_for_count() {
    for _ in $(seq 100); do
        [ "$(titled | wc -l)" -eq "$1" ] && return
        sleep 0.05
    done
    fail "expected $1 windows titled QM-GLIMMER-DIAL, found $(titled | wc -l)"
}

frame_geometry() {
    local parent
    parent=$(xwininfo -children -id "$1" | awk '/Parent window id/ {print $4}')
    xwininfo -id "$parent" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

frame_settles_at() {
    for _ in $(seq 40); do
        [ "$(frame_geometry "$1")" = "$2" ] && break
        sleep 0.05
    done
    frame_geometry "$1"
}

stored() { sed -n "s/^$1=//p" "$config/QM_UTC.ini"; }

# The clock label's middle, in the strip's client area.
double_click_clock() {
    xdotool mousemove --window "$1" 110 20 click --repeat 2 --delay 80 1
}

"$program" &
pid=$!
wait_for_count 1
strip=$(owned no)
double_click_clock "$strip"
wait_for_count 2
large=$(owned yes)
[ -n "$large" ] || fail "no large clock owned by the strip"

geometry=$(frame_settles_at "$large" "67 135 204 81") # clear of the strip
[ "$geometry" = "67 135 204 81" ] || fail "large clock frame is '$geometry', expected '67 135 204 81'"
state=$(xprop -id "$large" _NET_WM_STATE)
echo "$state" | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the large clock shows in the taskbar"
echo "$state" | grep -q _NET_WM_STATE_MODAL || fail "the large clock is not modal"

# Moved and closed with the close box: the strip stays, the position is kept.
wmctrl -i -r "$large" -e 1,300,200,-1,-1
[ "$(frame_settles_at "$large" "300 200 204 81")" = "300 200 204 81" ] ||
    fail "the window manager did not move the large clock"
wmctrl -i -c "$large"
wait_for_count 1
[ "$(stored LARGE_CLOCK-Left)" = 4500 ] || fail "stored left is '$(stored LARGE_CLOCK-Left)'"
[ "$(stored LARGE_CLOCK-Top)" = 3000 ] || fail "stored top is '$(stored LARGE_CLOCK-Top)'"

echo "PASS: large clock on X11"
