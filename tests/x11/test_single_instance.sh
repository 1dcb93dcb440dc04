#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One clock per user, with the real program on a real X server: a second start with the same
# settings folder says the clock is running, brings the strip to the front and ends at once,
# leaving the first untouched; after the first is killed with SIGKILL a new start runs at once.
# Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)/config # missing: the first start creates it
export XDG_CONFIG_HOME=$config
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$(dirname "$config")"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

strip_of() { # PID: the strip's window once it is framed
    for _ in $(seq 100); do
        id=$(xdotool search --pid "$1" --name '^QM-GLIMMER-DIAL$' 2>/dev/null | head -n1 || true)
        if [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; then
            echo "$id"
            return
        fi
        sleep 0.05
    done
    fail "no strip for process $1"
}
active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}')"; }
mode() { stat -c %a "$1"; }

"$program" &
first=$!
pids+=("$first")
strip=$(strip_of "$first")
lock=$config/QM_UTC.instance.lock
[ "$(cat "$lock")" = "$first" ] || fail "the lock file holds '$(cat "$lock")', not $first"
[ "$(mode "$config")" = 700 ] || fail "the settings folder was created $(mode "$config")"
[ "$(mode "$lock")" = 600 ] || fail "the lock file was created $(mode "$lock")"

# Another window has the focus when the second start comes.
xmessage -name other -geometry +400+400 "another program" 2>/dev/null &
pids+=("$!")
other=""
for _ in $(seq 100); do
    other=$(xdotool search --classname '^other$' 2>/dev/null | head -n1 || true)
    [ -n "$other" ] && [ "$(active_window)" = "$other" ] && break
    sleep 0.05
done
[ -n "$other" ] && [ "$(active_window)" = "$other" ] || fail "another window did not take the focus"

before=$(ls -l --full-time "$config")
started=$(date +%s%N)
status=0
output=$(timeout 10 "$program" 2>&1) || status=$? # a second clock would run on
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$status" = 0 ] || fail "the second start ended with status $status"
[ "$output" = "qm-utc: the clock is already running (process $first)" ] ||
    fail "the second start said '$output'"
[ "$elapsed_ms" -lt 3000 ] || fail "the second start took $elapsed_ms ms"
for _ in $(seq 40); do
    [ "$(active_window)" = "$strip" ] && break
    sleep 0.05
done
[ "$(active_window)" = "$strip" ] || fail "the running strip was not brought to the front"
kill -0 "$first" || fail "the first clock ended"
[ "$(ls -l --full-time "$config")" = "$before" ] || fail "the second start changed the settings folder"
[ "$(xdotool search --name '^QM-GLIMMER-DIAL$' | wc -l)" = 1 ] || fail "two strips are shown"
echo "second start: status 0 after $elapsed_ms ms, the running strip in front"

# A crash never blocks the next start.
kill -9 "$first"
wait "$first" 2>/dev/null || true
[ "$(cat "$lock")" = "$first" ] || fail "the lock file changed"
"$program" &
third=$!
pids+=("$third")
strip_of "$third" >/dev/null
[ "$(cat "$lock")" = "$third" ] || fail "after the crash the lock file holds '$(cat "$lock")'"
kill -0 "$third" || fail "the start after the crash ended"
echo "PASS: one clock per user"
