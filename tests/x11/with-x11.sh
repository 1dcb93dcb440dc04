#!/usr/bin/env bash
# Runs a command against a private X server (Xvfb) with a window manager (openbox), then
# ends both. Usage: with-x11.sh COMMAND [ARGS...]
set -euo pipefail

for tool in Xvfb openbox xdotool xwininfo xprop wmctrl xwd; do
    command -v "$tool" >/dev/null || { echo "with-x11: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done

workdir=$(mktemp -d)
xvfb_pid=""
wm_pid=""
finish() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$workdir"
}
trap finish EXIT

# -displayfd picks a free display number and writes it once the server accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$workdir/display" >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 200); do
    display=$(tr -dc '0-9' <"$workdir/display")
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
[ -n "$display" ] || { echo "with-x11: Xvfb did not start" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

HOME="$workdir" openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is up once it has claimed the root window's supporting-check property.
wm_up=no
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && { wm_up=yes; break; }
    sleep 0.05
done
[ "$wm_up" = yes ] || { echo "with-x11: openbox did not start" >&2; cat "$workdir/openbox.log" >&2; exit 1; }

"$@"
