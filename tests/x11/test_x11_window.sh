#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Window-manager hints read back on a real X server with a window manager: runs the X11 unit
# test on the xcb platform. Usage (under with-x11.sh): PROGRAM (the test is built beside it).
set -euo pipefail
test_binary=$(dirname "$1")/tests/tst_x11window
[ -x "$test_binary" ] || { echo "FAIL: $test_binary is missing" >&2; exit 1; }
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
# No session bus: left to find one, the D-Bus library tries to start one for the display and
# keeps what it read until the end, which the leak checker reports.
DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb "$test_binary" >"$output" 2>&1 || status=$?
cat "$output"
[ "$status" = 0 ] || { echo "FAIL: the X11 window test failed" >&2; exit 1; }
grep -q '^Totals: .*, 0 skipped' "$output" || { echo "FAIL: the X11 window test skipped" >&2; exit 1; }
echo "PASS: window-manager hints on X11"
