#!/usr/bin/env bash
# Benchmark of the running strip (not a test): clock-text flip offsets after each second
# boundary, and the real program's wake-ups and CPU time, over SECONDS (default 60) on a
# private X server with a window manager.
# Usage: bench/run-clock-bench.sh [SECONDS]   (after scripts/setup.sh and scripts/build.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$top/build
[ -x "$build/qm-utc" ] && [ -x "$build/bench/bench_clock_flip" ] ||
    { echo "build first: scripts/build.sh" >&2; exit 1; }

measure() {
    local seconds=$1 build=$2
    config=$(mktemp -d)
    XDG_CONFIG_HOME=$config "$build/qm-utc" &
    pid=$!
    # Sum over all threads: run time (ns) and context switches (each sleep-to-run is one).
    cost() {
        local cpu=0 sw=0 t
        for t in /proc/"$pid"/task/*; do
            cpu=$((cpu + $(cut -d' ' -f1 "$t/schedstat")))
            sw=$((sw + $(awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}' "$t/status")))
        done
        echo "$cpu $sw"
    }
    sleep 2 # let it start up and paint
    read -r cpu0 sw0 < <(cost)
    t0=$(date +%s.%N)
    "$build/bench/bench_clock_flip" "$seconds"
    read -r cpu1 sw1 < <(cost)
    t1=$(date +%s.%N)
    kill "$pid"
    rm -rf "$config"
    awk -v c="$((cpu1 - cpu0))" -v s="$((sw1 - sw0))" -v t0="$t0" -v t1="$t1" 'BEGIN {
        e = t1 - t0
        printf "qm-utc program:   wake-ups %.2f/s  cpu %.3f%% of one core  over %.1f s  (budget <= 3 wake-ups/s)\n", s / e, 100 * c / 1e9 / e, e
    }'
}
export -f measure
"$top/tests/x11/with-x11.sh" bash -c "measure $seconds $build"
