#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The system's time zone changed while the clock runs, as `timedatectl set-timezone` replaces
# /etc/localtime: the clock follows within two seconds, an alarm set for the new zone's time
# two seconds after the change runs its command once, and one set for the old zone's time
# does not. /etc/localtime is changed only in a private mount namespace; where none can be
# made the test says so and passes. Usage (under with-x11.sh): PROGRAM
set -euo pipefail
program=$1
zones=/usr/share/zoneinfo
if [ "${QMUTC_PRIVATE_MOUNTS:-}" != 1 ]; then
    if ! unshare -m --propagation private true 2>/dev/null; then
        echo "SKIP: no private mount namespace can be made here (needs root)"
        exit 0
    fi
    QMUTC_PRIVATE_MOUNTS=1 exec unshare -m --propagation private "$0" "$@"
fi
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"
unset TZ
mount --bind "$zones/Etc/UTC" /etc/localtime
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
trap 'kill "${pid:-0}" 2>/dev/null && wait "$pid"; rm -rf "$config"' EXIT

# The zone changes at second `change`; both alarms are set two seconds later, one in each zone.
# A clock that was not up before `change` (a loaded machine) is started again with more time.
for lead in 3 6 12 24 48; do
    change=$(($(date +%s) + lead))
    at=$((change + 2))
    cat >"$config/QM_UTC.ini" <<INI
[qm-utc]
ENABLE_ALARMS_TICKBOX=1
ALARM_1_TICKBOX=1
ALARM_1_TIME_TEXTBOX=$(TZ=Etc/GMT-3 date -d "@$at" +%H:%M:%S)
ALARM_1_RUN_COMMAND_TICKBOX=1
ALARM_1_RUN_COMMAND_TEXTBOX=/bin/sh -c "date +%s >> $config/new-zone"
ALARM_2_TICKBOX=1
ALARM_2_TIME_TEXTBOX=$(TZ=Etc/UTC date -d "@$at" +%H:%M:%S)
ALARM_2_RUN_COMMAND_TICKBOX=1
ALARM_2_RUN_COMMAND_TEXTBOX=/bin/sh -c "date +%s >> $config/old-zone"
INI
    "$program" &
    pid=$!
    window QM-GLIMMER-DIAL >/dev/null
    [ "$(date +%s)" -lt "$change" ] && break
    echo "the clock came up after its zone change was due; started again with more time"
    kill "$pid" && wait "$pid" || true
    pid=
done
[ -n "$pid" ] || fail "the clock never came up within 48 seconds"
while [ "$(date +%s)" -lt "$change" ]; do sleep 0.05; done
mount --bind "$zones/Etc/GMT-3" /etc/localtime
echo "zone changed at $(date +%T.%N)"
while [ "$(date +%s)" -le $((at + 2)) ]; do sleep 0.1; done

[ "$(cat "$config/new-zone" 2>/dev/null)" = "$at" ] ||
    fail "the new zone's alarm ran at '$(cat "$config/new-zone" 2>/dev/null)', not once at $at"
[ ! -e "$config/old-zone" ] || fail "the alarm for the old zone's time ran"
echo "PASS: the clock followed the new time zone"
