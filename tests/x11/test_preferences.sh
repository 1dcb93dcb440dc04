#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

owned_by() {
    xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "$1 is in the taskbar"
    xprop -id "$1" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$2")" || fail "$1 is not $2's"
}

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
