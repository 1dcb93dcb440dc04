#!/usr/bin/env bash
# The preferences on a real X server with a window manager: the emblem opens the settings
# window and it the colours window, each owned by its opener, out of the taskbar, at its stored
# place and size; Show UpTime narrows the strip at once; red on blue confirmed is stored and the
# narrow strip survives a restart. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$config"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# The window with exactly this title once the window manager has framed it; "gone" waits for
# it to disappear instead. Up to fifteen seconds: a busy machine starts programs slowly.
window() {
    for _ in $(seq 300); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ "${2:-}" = gone ]; then
            [ -z "$id" ] && return
        elif [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; then
            echo "$id"
            return
        fi
        sleep 0.05
    done
    fail "the window '$1' did not ${2:-appear}"
}

# Outer frame geometry "X Y W H", waiting up to five seconds for the expected one (a pattern).
frame_at() {
    local parent geometry
    parent=$(xwininfo -children -id "$1" | awk '/Parent window id/ {print $4}')
    for _ in $(seq 100); do
        geometry=$(xwininfo -id "$parent" | awk '/Absolute upper-left X/ {x=$4}
            /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
        # shellcheck disable=SC2053
        [[ $geometry == $2 ]] && return
        sleep 0.05
    done
    fail "window $1 is at '$geometry', expected '$2'"
}

owned_by() {
    xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "$1 is in the taskbar"
    xprop -id "$1" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$2")" || fail "$1 is not $2's"
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
stored() { sed -n "s/^$1=//p" "$config/QM_UTC.ini"; }

"$program" &
pid=$!
strip=$(window QM-GLIMMER-DIAL)
frame_at "$strip" "* * 364 60"
click "$strip" 30 20 # the emblem
settings=$(window "QM-UTC - SETTINGS")
owned_by "$settings" "$strip"
frame_at "$settings" "67 67 551 142"

click "$settings" 150 68 # Show UpTime
frame_at "$strip" "* * 168 60"

click "$settings" 270 80 # Clock Colors
colours=$(window "QM-UTC - SET TIME CLOCK DISPLAY COLORS")
owned_by "$colours" "$settings"
frame_at "$colours" "67 67 616 238"
click "$colours" 150 85  # red text
click "$colours" 400 115 # blue background
click "$colours" 300 180 # OK
window "QM-UTC - SET TIME CLOCK DISPLAY COLORS" gone
click "$settings" 470 85 # OK
window "QM-UTC - SETTINGS" gone

[ "$(stored CLOCK_FORECOLOR)/$(stored CLOCK_BACKCOLOR)" = 255/16711680 ] ||
    fail "stored colours are $(stored CLOCK_FORECOLOR)/$(stored CLOCK_BACKCOLOR)"
[ "$(stored SHOW_UPTIME_TICKBOX)" = 0 ] || fail "Show UpTime stored as '$(stored SHOW_UPTIME_TICKBOX)'"

wmctrl -i -c "$strip"
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
"$program" &
pid=$!
frame_at "$(window QM-GLIMMER-DIAL)" "* * 168 60"

echo "PASS: preferences on X11"
