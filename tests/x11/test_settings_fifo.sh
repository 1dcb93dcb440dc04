#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A FIFO in place of the settings file, its lock or its damaged copy never stops the real
# clock: made to save by closing the large clock, it says once that it cannot save there (a
# damaged copy takes the next free name), keeps ticking and ends at once on SIGTERM.
# Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
trap 'kill -9 "${pid:-0}" 2>/dev/null || true; rm -rf "$config"' EXIT
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"

for fifo in QM_UTC.ini.lock QM_UTC.ini QM_UTC.ini.damaged; do
    rm -rf "${config:?}"/*
    printf '[qm-utc]\nno setting\n' >"$config/QM_UTC.ini"
    [ "$fifo" = QM_UTC.ini.damaged ] && mkfifo "$config/$fifo" # there at start
    "$program" 2>"$config/said" &
    pid=$!
    strip=$(window QM-GLIMMER-DIAL)
    [ -p "$config/$fifo" ] || { rm -f "$config/$fifo"; mkfifo "$config/$fifo"; }
    wmctrl -i -c "$(large_clock "$strip")" # its closing saves its position
    large_clock "$strip" closed
    # Polled rather than slept: beside other tests a tick or an exit may come late.
    shown=$(xwd -silent -id "$strip" | md5sum)
    for _ in $(seq 30); do
        sleep 0.1
        [ "$(xwd -silent -id "$strip" | md5sum)" != "$shown" ] && break
    done
    [ "$(xwd -silent -id "$strip" | md5sum)" != "$shown" ] || fail "a FIFO as $fifo stopped the clock"
    kill -TERM "$pid"
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "with a FIFO as $fifo the clock did not end on SIGTERM"
    if [ "$fifo" = QM_UTC.ini.damaged ]; then
        grep -q '^no setting$' "$config/QM_UTC.ini.damaged.1" || fail "no copy as .damaged.1"
    else
        [ "$(grep -c 'not a regular file' "$config/said")" = 1 ] || fail "it said: $(cat "$config/said")"
    fi
    echo "a FIFO as $fifo: still ticking, ended on SIGTERM"
done
echo "PASS: no FIFO stops the clock"
