#!/usr/bin/env bash
# A FIFO in place of the settings file, its lock or its damaged copy never stops the clock:
# the real program, made to save by closing the large clock, says once that it cannot save,
# keeps ticking, and ends at once on SIGTERM. A FIFO where the damaged copy would go at start
# takes the next free name. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
trap 'kill -9 "${pid:-0}" 2>/dev/null || true; rm -rf "$config"' EXIT
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"
file=$config/QM_UTC.ini

ticking() { # WINDOW: its pixels change within three seconds
    local first
    first=$(xwd -silent -id "$1" | md5sum)
    for _ in $(seq 30); do
        sleep 0.1
        [ "$(xwd -silent -id "$1" | md5sum)" != "$first" ] && return 0
    done
    return 1
}

for fifo in QM_UTC.ini.lock QM_UTC.ini QM_UTC.ini.damaged; do
    rm -rf "${config:?}"/*
    printf '[qm-utc]\nCLOCK-MAIN-Left=1500\n' >"$file"
    if [ "$fifo" = QM_UTC.ini.damaged ]; then
        echo "a line that is no setting" >>"$file"
        mkfifo "$config/$fifo"
    fi
    "$program" 2>"$config/said" &
    pid=$!
    strip=$(window QM-GLIMMER-DIAL)
    if [ "$fifo" != QM_UTC.ini.damaged ]; then
        rm -f "$config/$fifo"
        mkfifo "$config/$fifo"
    fi
    big=$(large_clock "$strip")
    wmctrl -i -c "$big" # its closing saves its position
    large_clock "$strip" closed
    ticking "$strip" || fail "with a FIFO as $fifo the clock stopped"
    started=$(date +%s%N)
    kill -TERM "$pid"
    wait_for_exit "$pid"
    ms=$((($(date +%s%N) - started) / 1000000))
    [ "$ms" -lt 2000 ] || fail "with a FIFO as $fifo the clock took $ms ms to end"
    if [ "$fifo" = QM_UTC.ini.damaged ]; then
        cmp -s <(printf '[qm-utc]\nCLOCK-MAIN-Left=1500\na line that is no setting\n') \
            "$config/QM_UTC.ini.damaged.1" || fail "the damaged file was not kept as .damaged.1"
        grep -q '^LARGE_CLOCK-Left=' "$file" || fail "nothing was saved beside a FIFO copy"
    else
        [ "$(grep -c 'not a regular file' "$config/said")" = 1 ] ||
            fail "with a FIFO as $fifo the clock said: $(cat "$config/said")"
        [ -p "$config/$fifo" ] || fail "the FIFO $fifo was replaced"
    fi
    echo "a FIFO as $fifo: still ticking, ended $ms ms after SIGTERM"
done
echo "PASS: no FIFO stops the clock"
