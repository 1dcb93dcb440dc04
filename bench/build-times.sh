#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Build and test times a new user meets, each from a fresh clone of this repository's HEAD with
# ccache off: the README's run command to the strip on screen, its test command, and a rebuild
# after touching one source file. Needs the packages of scripts/setup.sh and Xvfb.
# Usage: bench/build-times.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
export CCACHE_DISABLE=1
work=$(mktemp -d)
trap 'kill "${clock:-0}" "${server:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

git clone -q "$repo" "$work/run" && cd "$work/run"
began=$(date +%s.%N)
scripts/setup.sh >/dev/null && scripts/build.sh qm-utc >/dev/null
built=$(date +%s.%N)
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
until DISPLAY=$display xdpyinfo >/dev/null 2>&1; do sleep 0.05; done
mkdir -m 700 "$work/runtime"
DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime build/qm-utc &
clock=$!
until DISPLAY=$display xwininfo -name QM-GLIMMER-DIAL 2>/dev/null | grep -q IsViewable; do
    sleep 0.05
done
shown=$(date +%s.%N)
kill "$clock" "$server"
echo "run command: built in $(seconds "$began" "$built") s, strip on screen at $(seconds "$began" "$shown") s"

git clone -q "$repo" "$work/test" && cd "$work/test"
began=$(date +%s.%N)
scripts/setup.sh >/dev/null && scripts/build.sh >/dev/null
built=$(date +%s.%N)
result=passed
ctest --test-dir build -j3 --output-on-failure >"$work/ctest.log" 2>&1 || result=FAILED
tested=$(date +%s.%N)
echo "test command: built in $(seconds "$began" "$built") s, tests $(seconds "$built" "$tested") s," \
    "total $(seconds "$began" "$tested") s, $result"

touch src/alarms/AlarmTrigger.cpp
began=$(date +%s.%N)
scripts/build.sh >/dev/null
echo "rebuild after touching one .cpp: $(seconds "$began" "$(date +%s.%N)") s"
