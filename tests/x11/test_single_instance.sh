#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One clock per user, with the real program on a real X server: a second start with the same
# settings folder says which process runs the clock, whether or not its environment names the
# runtime folder and whatever lies in the settings folder, brings the strip to the front and
# ends at once, leaving the first untouched; after the first is killed with SIGKILL a new start
# runs at once. Another user's program on every name it can compute does not let a later start
# run a second clock (needs root, to make that user).
# Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
helpers=$(dirname "$program")/tests
work=$(mktemp -d)
config=$work/config # missing: the first start creates it
export XDG_CONFIG_HOME=$config
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
pids=()
squatter_user=""
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ -z "$squatter_user" ] || userdel "$squatter_user" 2>/dev/null || true
    rm -rf "$work"
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

"$program" &
first=$!
pids+=("$first")
strip=$(strip_of "$first")
[ "$(ls -A "$config")" = QM_UTC.instance.lock ] || fail "the start made $(ls -A "$config") in the settings folder"
# A start whose environment names no runtime folder finds the clock by the lock beside the
# settings; once that is taken away, the lock in the runtime folder still holds.
said=$(env -u XDG_RUNTIME_DIR "$program" 2>&1) || fail "a start without a runtime folder failed: $said"
[ "$said" = "qm-utc: the clock is already running (process $first)" ] ||
    fail "a start without a runtime folder said '$said'"
rm "$config/QM_UTC.instance.lock"

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
"$program" &
third=$!
pids+=("$third")
strip_of "$third" >/dev/null
kill -0 "$third" || fail "the start after the crash ended"

# Two users: another user's program holds the socket name the clock once used (made of the
# user id and the settings path) and whatever it can make in the runtime folder while the
# clock starts, then lets go; a later start must still find the clock.
kill "$third"
wait "$third" 2>/dev/null || true
if [ "$(id -u)" != 0 ] || ! command -v useradd >/dev/null || ! command -v setpriv >/dev/null; then
    echo "SKIP: two users: only root can make a throw-away user (useradd, setpriv)"
    echo "PASS: one clock per user"
    exit 0
fi
squatter_user=qmutc-squat-$$
useradd --system --no-create-home --shell /usr/sbin/nologin "$squatter_user"
hash=$(printf '%s' "$(readlink -f "$config")/QM_UTC.ini" | sha256sum | cut -c1-32)
setpriv --reuid="$squatter_user" --regid="$squatter_user" --clear-groups \
    "$helpers/quiet_socket" "@qm-utc/$(id -u)/$hash" >"$work/squat.out" &
squatter=$!
pids+=("$squatter")
for _ in $(seq 100); do
    grep -q ready "$work/squat.out" 2>/dev/null && break
    sleep 0.05
done
grep -q ready "$work/squat.out" || fail "the other user's program did not start"
setpriv --reuid="$squatter_user" --regid="$squatter_user" --clear-groups \
    touch "$XDG_RUNTIME_DIR/qm-utc-$hash.lock" 2>/dev/null && fail "the other user can write the runtime folder"
"$program" 2>"$work/first.said" &
fourth=$!
pids+=("$fourth")
strip_of "$fourth" >/dev/null
kill "$squatter"
wait "$squatter" 2>/dev/null || true
said=$(timeout 10 "$program" 2>&1) || fail "the start after the other user let go failed: $said"
[ "$said" = "qm-utc: the clock is already running (process $fourth)" ] ||
    fail "after the other user let go a start said '$said'"
[ "$(xdotool search --name '^QM-GLIMMER-DIAL$' | wc -l)" = 1 ] || fail "two strips are shown"
echo "two users: the other user's program did not let a second clock start"
echo "PASS: one clock per user"
