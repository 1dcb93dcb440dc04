#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Natively on Wayland (QT_QPA_PLATFORM=wayland), where only the compositor knows where windows
# are and Qt reports 0, 0 for every one (or, on weston, just where it was asked to put it),
# the real clock stores no position: the strip and the large clock, closed by SIGTERM as a
# logout closes them, leave the settings as an X11 run left them.
# Runs on weston's headless backend; skipped where weston or Qt's Wayland plugin is missing.
# Usage: PROGRAM (an X display is not needed)
set -euo pipefail
program=$1
plugin=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)/platforms/libqwayland-generic.so
if ! command -v weston >/dev/null || [ ! -e "$plugin" ]; then
    echo "SKIP: needs weston and Qt's Wayland platform plugin (run scripts/setup.sh)"
    exit 0
fi
work=$(mktemp -d)
chmod 700 "$work"
trap 'kill "${clock:-0}" "${compositor:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_RUNTIME_DIR=$work
weston --backend=headless-backend.so --socket=wl-qmutc --idle-time=0 >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 200); do
    [ -S "$work/wl-qmutc" ] && break
    sleep 0.05
done
[ -S "$work/wl-qmutc" ] || fail "weston did not start: $(cat "$work/weston.log")"

mkdir -m 700 "$work/config"
# The strip has a place from an X11 run; the large clock, opened at start, has none yet.
stored='[qm-utc]
CLOCK-MAIN-Left=3000
CLOCK-MAIN-Top=2250
LARGE_CLOCK_STARTUP_TICKBOX=1'
printf '%s\n' "$stored" >"$work/config/QM_UTC.ini"
env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wl-qmutc XDG_CONFIG_HOME="$work/config" \
    "$program" 2>"$work/said" &
clock=$!
# Up once Qt's Wayland client has loaded and the large clock has opened over the strip.
for _ in $(seq 200); do
    grep -q libQt6WaylandClient "/proc/$clock/maps" 2>/dev/null && break
    sleep 0.05
done
grep -q libQt6WaylandClient "/proc/$clock/maps" || fail "the clock did not run on Wayland: $(cat "$work/said")"
sleep 2
kill -0 "$clock" || fail "the clock ended: $(cat "$work/said")"
kill -TERM "$clock"
status=0
wait "$clock" || status=$?
[ "$status" = 0 ] || fail "the clock ended with status $status: $(cat "$work/said")"
[ "$(cat "$work/config/QM_UTC.ini")" = "$stored" ] ||
    fail "the settings changed to: $(cat "$work/config/QM_UTC.ini")"
echo "PASS: natively on Wayland no position is stored"
