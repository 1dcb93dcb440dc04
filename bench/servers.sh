# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Private X servers for the bench scripts, several at once: each program measured or compared
# gets an Xvfb of its own with openbox on it, so that what its server and window manager do
# for it can be counted apart. Source it (bash); it starts nothing by itself.

declare -A server_display server_xvfb server_wm server_dir

# Starts Xvfb on a free display (SIZE, default 1280x800) with openbox, under the name NAME.
server_start() {
    local name=$1 size=${2:-1280x800} dir display=""
    dir=$(mktemp -d)
    # There before the server writes to it, for the loop below to read.
    : >"$dir/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$dir/display" \
        >"$dir/xvfb.log" 2>&1 &
    server_xvfb[$name]=$!
    server_dir[$name]=$dir
    for _ in $(seq 200); do
        display=$(tr -dc '0-9' <"$dir/display")
        [ -n "$display" ] && break
        kill -0 "${server_xvfb[$name]}" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$display" ] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; return 1; }
    server_display[$name]=":$display"
    # openbox runs its start-up command once it manages windows.
    DISPLAY=":$display" HOME="$dir" openbox --sm-disable --startup "touch $dir/wm-ready" \
        >"$dir/openbox.log" 2>&1 &
    server_wm[$name]=$!
    for _ in $(seq 200); do
        [ -e "$dir/wm-ready" ] && return 0
        kill -0 "${server_wm[$name]}" 2>/dev/null || break
        sleep 0.05
    done
    echo "openbox did not start" >&2
    cat "$dir/openbox.log" >&2
    return 1
}

# Ends the window manager and the server of NAME, by their process ids.
server_stop() {
    local name=$1 process
    for process in ${server_wm[$name]:-} ${server_xvfb[$name]:-}; do
        kill "$process" 2>/dev/null || true
        wait "$process" 2>/dev/null || true
    done
    [ -z "${server_dir[$name]:-}" ] || rm -rf "${server_dir[$name]}"
    unset "server_display[$name]" "server_xvfb[$name]" "server_wm[$name]" "server_dir[$name]"
}

server_stop_all() {
    local name
    for name in "${!server_xvfb[@]}"; do server_stop "$name"; done
}

# The window titled exactly TITLE on the display of NAME, once the window manager framed it,
# waiting up to SECONDS (default 15).
server_window() {
    local name=$1 title=$2 id
    for _ in $(seq $((${3:-15} * 20))); do
        id=$(DISPLAY=${server_display[$name]} xdotool search --name "^$title\$" 2>/dev/null |
            head -n1 || true)
        if [ -n "$id" ] && DISPLAY=${server_display[$name]} xprop -id "$id" _NET_FRAME_EXTENTS \
            2>/dev/null | grep -q '='; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    echo "the window '$title' did not appear on $name" >&2
    return 1
}
