# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The opening of a script that runs one clock: a settings folder of its own as
# XDG_CONFIG_HOME ($config), the clock's process id in $pid (set it once started), and on exit
# the clock ended and the folder removed. Source it (bash).
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
pid=""
finish() {
    # The clock saves on SIGTERM: the folder goes once it has ended.
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null && wait "$pid"; } || true
    rm -rf "$config"
}
trap finish EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
