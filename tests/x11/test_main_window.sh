#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real strip on a real X server with a window manager: placement, frame, ticking, and the
# position it remembers across a close and a restart, and across an end by SIGTERM or SIGHUP
# or both at once (a logout) as well. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
trap 'rm -rf "$config"' EXIT
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

# First run: an empty store.
"$program" &
pid=$!
win=$(window QM-GLIMMER-DIAL)
geometry=$(frame_settles_at "$win" "67 67 364 60")
[ "$geometry" = "67 67 364 60" ] || fail "first run frame is '$geometry', expected '67 67 364 60'"

xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the strip shows in the taskbar"
xprop -id "$win" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_UTILITY || fail "not a tool window"
hints=$(xprop -id "$win" WM_NORMAL_HINTS)
min=$(echo "$hints" | sed -n 's/.*minimum size: \(.*\)/\1/p')
max=$(echo "$hints" | sed -n 's/.*maximum size: \(.*\)/\1/p')
[ -n "$min" ] && [ "$min" = "$max" ] || fail "the strip can be resized ($hints)"
# The window manager's own word: a close box, no minimise, maximise or resize.
actions=$(xprop -id "$win" _NET_WM_ALLOWED_ACTIONS)
echo "$actions" | grep -q _NET_WM_ACTION_CLOSE || fail "the strip cannot be closed ($actions)"
echo "$actions" | grep -qE '_NET_WM_ACTION_(MINIMIZE|MAXIMIZE|RESIZE)' && fail "the strip offers more than closing ($actions)"

# Ticking: the clock's pixels change from one second to the next.
first=$(xwd -silent -id "$win" | md5sum)
changed=no
for _ in $(seq 30); do
    sleep 0.1
    [ "$(xwd -silent -id "$win" | md5sum)" != "$first" ] && { changed=yes; break; }
done
[ "$changed" = yes ] || fail "the clock did not tick within three seconds"

# Moved (frame to 200, 150) and closed: it writes its position and ends.
wmctrl -i -r "$win" -e 1,200,150,-1,-1
[ "$(frame_settles_at "$win" "200 150 364 60")" = "200 150 364 60" ] ||
    fail "the window manager did not move the strip"
wmctrl -i -c "$win"
wait_for_exit "$pid"
[ "$(stored CLOCK-MAIN-Left)" = 3000 ] || fail "stored left is '$(stored CLOCK-MAIN-Left)'"
[ "$(stored CLOCK-MAIN-Top)" = 2250 ] || fail "stored top is '$(stored CLOCK-MAIN-Top)'"
[ "$(grep -c '=' "$config/QM_UTC.ini")" = 2 ] || fail "closing wrote more than the position: $(cat "$config/QM_UTC.ini")"

# Second run: it reopens where it was left, at the same size.
"$program" &
pid=$!
win=$(window QM-GLIMMER-DIAL)
geometry=$(frame_settles_at "$win" "200 150 364 60")
[ "$geometry" = "200 150 364 60" ] || fail "second run frame is '$geometry', expected '200 150 364 60'"
wmctrl -i -c "$win"
wait_for_exit "$pid"
[ "$(stored CLOCK-MAIN-Left)" = 3000 ] || fail "an unmoved strip changed its stored left"

# Ended by a signal, as a logout ends it: the strip and, with SIGHUP, the large clock open
# over it keep where they were moved. A logout sends SIGTERM and SIGHUP one right after the
# other, in either order: the second must not end the clock before it has saved.
for signals in TERM HUP "TERM HUP" "HUP TERM"; do
    "$program" &
    pid=$!
    win=$(window QM-GLIMMER-DIAL)
    wmctrl -i -r "$win" -e 1,300,210,-1,-1
    frame_at "$win" "300 210 364 60"
    wanted="4500 3150  "
    if [[ $signals == *HUP* ]]; then
        wmctrl -i -r "$(large_clock "$win")" -e 1,500,400,-1,-1 && sleep 0.5
        wanted="4500 3150 7500 6000"
    fi
    for signal in $signals; do kill -"$signal" "$pid"; done
    wait_for_exit "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "after SIG${signals// /+SIG} the clock ended with status $status"
    got="$(stored CLOCK-MAIN-Left) $(stored CLOCK-MAIN-Top) $(stored LARGE_CLOCK-Left) $(stored LARGE_CLOCK-Top)"
    [ "$got" = "$wanted" ] || fail "after SIG${signals// /+SIG} the stored positions are '$got', not '$wanted'"
    rm "$config/QM_UTC.ini"
done

echo "PASS: main window on X11"
