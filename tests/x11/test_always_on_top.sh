#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Always On Top on a real X server with a window manager: another program's window activated
# over the strip, and one that made itself stay on top, are both under the strip again within
# 1.5 s; its context menu leaves that rank alone. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
pids=()
finish() {
    [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
    # The clock saves on SIGTERM: the folder goes once it has ended.
    [ ${#pids[@]} -eq 0 ] || wait "${pids[@]}" 2>/dev/null || true
    rm -rf "$config"
}
trap finish EXIT

# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

# The first client window found by `xdotool search ARGS`, once the window manager framed it.
wait_for_window() {
    for _ in $(seq 100); do
        id=$(xdotool search "$@" 2>/dev/null | head -n1 || true)
        if [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; then
            echo "$id"
            return
        fi
        sleep 0.05
    done
    fail "no window for: $*"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Runs COMMAND until the other window is seen over the strip (the strip may already be back
# at the first try), then waits at most 1.5 s for the strip to be above it again.
comes_back_above() {
    local covered=no
    for _ in 1 2 3 4 5; do
        "$@"
        if above "$other" "$strip"; then
            covered=yes
            break
        fi
        sleep 0.3
    done
    [ "$covered" = yes ] || fail "could not put the other window over the strip ($*)"
    local start
    start=$(now_ms)
    while ! above "$strip" "$other"; do
        [ $(($(now_ms) - start)) -le 1500 ] || fail "the strip stayed under the other window ($*)"
        sleep 0.05
    done
    echo "strip above again after $(($(now_ms) - start)) ms ($*)"
}

"$program" &
pids+=($!)
strip=$(wait_for_window --name '^QM-GLIMMER-DIAL$')

# xlogo takes the input focus when activated (xclock does not).
xlogo -geometry 400x200+20+20 &
pids+=($!)
other=$(wait_for_window --class '^xlogo$')

# The strip has lost its rank, and another program's window is activated over it.
cover_plainly() {
    wmctrl -i -r "$strip" -b remove,above
    xdotool windowactivate --sync "$other"
}
comes_back_above cover_plainly
xprop -id "$strip" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the strip is not kept above"

# Another program's window that made itself stay on top, activated over the strip, loses
# that rank.
cover_from_above() {
    wmctrl -i -r "$other" -b add,above
    xdotool windowactivate --sync "$other"
}
comes_back_above cover_from_above
! xprop -id "$other" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    fail "the other window kept its stay-on-top rank"

# The strip's context menu leaves the strip's rank alone, open and closed again.
shown_windows() { xdotool search --onlyvisible --pid "${pids[0]}" 2>/dev/null | wc -l; }
# Waits up to 3 s until the count of shown windows compares with `before` by OPERATOR (-gt, -eq).
shown_windows_become() {
    for _ in $(seq 60); do
        [ "$(shown_windows)" "$1" "$before" ] && return 0
        sleep 0.05
    done
    return 1
}
before=$(shown_windows)
xdotool mousemove --window "$strip" 100 20 click 3
shown_windows_become -gt || fail "a right click on the strip opened no menu"
above "$strip" "$other" || fail "the strip's menu put the strip under another window"
xdotool key Escape
shown_windows_become -eq || fail "Escape did not close the strip's menu"
above "$strip" "$other" || fail "the strip is under another window after its menu"
xprop -id "$strip" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    fail "the strip lost its above rank to its menu"

echo "PASS: always on top on X11"
