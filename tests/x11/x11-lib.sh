# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Shell functions shared by the real-window scripts: a private X server with a window manager,
# and ways to find, measure, click and read the program's windows from outside. Source it
# (bash); it starts nothing by itself.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

x11_require_tools() {
    local tool setup=scripts/setup.sh
    case ${x11_wm:-openbox} in mutter | kwin) setup="scripts/setup.sh --desktops" ;; esac
    for tool in Xvfb "$(x11_wm_command)" xdotool xwininfo xprop wmctrl xwd; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (run $setup)" >&2; return 1; }
    done
    case ${x11_wm:-openbox} in openbox) ;; *) command -v dbus-launch >/dev/null ||
        { echo "dbus-launch is missing (run scripts/setup.sh)" >&2; return 1; } ;; esac
}

# The window manager x11_start starts: openbox (the default), xfwm4, metacity, or the
# desktops' own, mutter (GNOME) and kwin (KDE's KWin).
x11_wm=${x11_wm:-openbox}

# The program that is the window manager $x11_wm.
x11_wm_command() {
    case ${x11_wm:-openbox} in kwin) echo kwin_x11 ;; *) echo "${x11_wm:-openbox}" ;; esac
}

# Seconds a window manager may take to manage the screen: KWin and mutter load far more than
# the others, and on a busy 2-core machine that takes a while.
x11_wm_start_seconds() {
    case ${x11_wm:-openbox} in mutter | kwin) echo 90 ;; *) echo 15 ;; esac
}

# Starts Xvfb on a free display (SIZE, default 1280x800) and the window manager $x11_wm on it,
# exports DISPLAY and returns once the window manager is up. x11_stop ends both, by their
# process ids.
x11_start() {
    local size=${1:-1280x800} display=""
    x11_require_tools || return 1
    x11_dir=$(mktemp -d)
    # Made here: the background job below may open it only after the loop first reads it.
    : >"$x11_dir/display"
    # -displayfd picks a free display number and writes it once the server accepts clients.
    # The file is there before Xvfb starts, or the first read below can find none.
    : >"$x11_dir/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$x11_dir/display" \
        >"$x11_dir/xvfb.log" 2>&1 &
    x11_xvfb_pid=$!
    for _ in $(seq 200); do
        display=$(tr -dc '0-9' <"$x11_dir/display")
        [ -n "$display" ] && break
        kill -0 "$x11_xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    if [ -z "$display" ]; then
        echo "Xvfb did not start" >&2
        cat "$x11_dir/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$display"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    # A window that rings (the test window does) rings nowhere, not on the speakers of the
    # machine the tests run on; a script that listens gives its clocks a server of its own.
    export PULSE_SERVER="unix:$x11_dir/no-sound-server"

    case $x11_wm in
    openbox)
        # openbox runs its start-up command once it is ready to manage windows. It claims the
        # root window earlier, and a window mapped in between can be left unmapped for good.
        HOME="$x11_dir" openbox --sm-disable --startup "touch $x11_dir/wm-ready" \
            >"$x11_dir/wm.log" 2>&1 &
        ;;
    xfwm4 | metacity | mutter | kwin)
        # They want a session bus; dbus-launch execs the window manager, so its id is theirs,
        # and the bus ends with the X server.
        local flags=(--compositor=off)
        case $x11_wm in
        metacity) flags=(--replace) ;;
        mutter) flags=(--x11 --replace --sm-disable) ;;
        kwin) flags=(--replace) ;;
        esac
        mkdir -m 700 "$x11_dir/runtime"
        HOME="$x11_dir" XDG_CONFIG_HOME="$x11_dir/config" XDG_DATA_HOME="$x11_dir/data" \
            XDG_CACHE_HOME="$x11_dir/cache" XDG_RUNTIME_DIR="$x11_dir/runtime" \
            dbus-launch --exit-with-session "$(x11_wm_command)" "${flags[@]}" \
            >"$x11_dir/wm.log" 2>&1 </dev/null &
        ;;
    *)
        echo "unknown window manager '$x11_wm'" >&2
        return 1
        ;;
    esac
    x11_wm_pid=$!
    for _ in $(seq $(($(x11_wm_start_seconds) * 20))); do
        x11_wm_ready && return 0
        kill -0 "$x11_wm_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "$x11_wm did not start" >&2
    cat "$x11_dir/wm.log" >&2
    return 1
}

# Whether the window manager has said it manages the screen.
x11_wm_ready() {
    if [ "$x11_wm" = openbox ]; then
        [ -e "$x11_dir/wm-ready" ]
        return
    fi
    local check
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*# //p')
    [ -n "$check" ] && xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_CLIENT_LIST_STACKING
}

x11_stop() {
    local process
    for process in ${x11_wm_pid:-} ${x11_xvfb_pid:-}; do
        kill "$process" 2>/dev/null || true
        wait "$process" 2>/dev/null || true
    done
    if [ -n "${x11_dir:-}" ]; then rm -rf "$x11_dir"; fi
    x11_wm_pid="" x11_xvfb_pid="" x11_dir=""
}

# Whether window $1 exists and the window manager has framed it.
framed() { [ -n "$1" ] && xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }

# The window with exactly this title once the window manager has framed it; "gone" waits for
# it to disappear instead. Up to fifteen seconds: a busy machine starts programs slowly.
# With window_pid set, only that process's windows count.
window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --all ${window_pid:+--pid "$window_pid"} --name "^$1\$" 2>/dev/null |
            head -n1 || true)
        if [ "${2:-}" = gone ]; then
            [ -z "$id" ] && return
        elif framed "$id"; then
            echo "$id"
            return
        fi
        sleep 0.05
    done
    fail "the window '$1' did not ${2:-appear}"
}

# The window manager's frame around a client window.
frame_of() {
    xwininfo -children -id "$1" | awk '/Parent window id/ {print $4}'
}

# The frame's extents "LEFT RIGHT TOP BOTTOM" that the window manager reports.
frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ','
}

# Outer frame geometry as "X Y W H": the client area and the frame the window manager reports
# around it (a frame window may be larger, with invisible borders to grab).
frame_geometry() {
    local left right top bottom
    read -r left right top bottom <<<"$(frame_extents "$1")"
    xwininfo -id "$1" | awk -v l="${left:-0}" -v r="${right:-0}" -v t="${top:-0}" -v b="${bottom:-0}" '
        /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2}
        /Height:/ {h=$2} END {print x - l, y - t, w + l + r, h + t + b}'
}

# Client area size as "W H".
client_size() {
    xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'
}

# Waits up to SECONDS (default five) for the frame to match "X Y W H" (a pattern), then prints
# where it is; the caller compares.
frame_settles_at() {
    local geometry
    for _ in $(seq $((${3:-5} * 20))); do
        geometry=$(frame_geometry "$1")
        # shellcheck disable=SC2053
        [[ $geometry == $2 ]] && break
        sleep 0.05
    done
    echo "$geometry"
}

# Fails unless the frame comes to match "X Y W H" (a pattern) within five seconds.
frame_at() {
    local geometry
    geometry=$(frame_settles_at "$1" "$2")
    # shellcheck disable=SC2053
    [[ $geometry == $2 ]] || fail "window $1 is at '$geometry', expected '$2'"
}

# Clicks at a point of a window's client area, in pixels. A window that has gone is a failure
# that says so, not an X error from xdotool.
click() {
    xwininfo -id "$1" >/dev/null 2>&1 || fail "window $1 ($(caller 1 | cut -d' ' -f2)) went away before a click on it"
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null ||
        fail "window $1 went away during a click on it"
}

# Device pixels per laid-out pixel: set it to the QT_SCALE_FACTOR the program runs with.
pixel_scale=${pixel_scale:-1}

# Twips (15 a laid-out pixel) in device pixels.
twips_px() { echo $(($1 * pixel_scale / 15)); }

# The centre of a control laid out at LEFT TOP WIDTH HEIGHT twips, in device pixels of the
# client area.
twips_centre() { echo "$(twips_px $(($1 + $3 / 2))) $(twips_px $(($2 + $4 / 2)))"; }

# Clicks the middle of a control laid out at LEFT TOP WIDTH HEIGHT twips.
click_control() {
    # shellcheck disable=SC2046
    click "$1" $(twips_centre "$2" "$3" "$4" "$5")
}

# Clicks the middle of control LEFT TOP WIDTH HEIGHT of window $1 until the window titled $6
# appears (a click can miss a window the window manager is still moving), and prints its id.
click_for_window() {
    local id
    for _ in 1 2 3; do
        click_control "$1" "$2" "$3" "$4" "$5"
        for _ in $(seq 200); do
            id=$(xdotool search --name "^$6\$" 2>/dev/null | head -n1 || true)
            if framed "$id"; then
                echo "$id"
                return
            fi
            sleep 0.05
        done
    done
    fail "the window '$6' did not appear"
}

# Clicks a tick box laid out at LEFT TOP WIDTH HEIGHT twips on its box, at its left end.
click_tick_box() {
    click "$1" $(($(twips_px "$2") + 7 * pixel_scale)) "$(twips_px $(($3 + $5 / 2)))"
}

# Whether window $1 is above window $2 in the window manager's bottom-to-top stacking list.
above() {
    local i=0 ia=0 ib=0 w
    for w in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'); do
        i=$((i + 1))
        [ $((w)) -eq "$1" ] && ia=$i
        [ $((w)) -eq "$2" ] && ib=$i
    done
    [ "$ia" -gt 0 ] && [ "$ib" -gt 0 ] && [ "$ia" -gt "$ib" ]
}

# Double-clicks the clock of strip $1 and prints the large clock it opens (titled like the
# strip) once the window manager has framed it; "closed" instead waits for it to be gone. On a
# busy machine the two clicks can come too far apart for a double-click: up to three tries,
# ten seconds each.
large_clock() {
    local id try
    for try in 1 2 3; do
        if [ "${2:-}" != closed ]; then
            # shellcheck disable=SC2046
            xdotool mousemove --window "$1" $(twips_centre 960 120 1395 375) click --repeat 2 --delay 80 1
        fi
        for _ in $(seq 200); do
            id=$(xdotool search --name '^QM-GLIMMER-DIAL$' 2>/dev/null | grep -vx "$1" | head -n1 || true)
            if [ "${2:-}" = closed ]; then
                [ -z "$id" ] && return
            elif [ -n "$id" ]; then
                # Opened: wait for its frame, however long, rather than click again.
                for _ in $(seq 300); do
                    framed "$id" && { echo "$id"; return; }
                    sleep 0.05
                done
            fi
            sleep 0.05
        done
    done
    [ "${2:-}" = closed ] && fail "the large clock did not close"
    fail "the large clock did not open"
}

# A value in the settings file $config/QM_UTC.ini; the script sets config.
# shellcheck disable=SC2154
stored() { sed -n "s/^$1=//p" "$config/QM_UTC.ini"; }

# Waits up to fifteen seconds for process PID to end.
wait_for_exit() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.05
    done
    fail "process $1 did not end"
}

# A clock's private settings folder DIR (with its runtime folder), its file holding only the
# key=value lines given.
clock_folder() {
    local dir=$1
    shift
    mkdir -p "$dir/runtime"
    chmod 700 "$dir" "$dir/runtime"
    printf '[qm-utc]\n' >"$dir/QM_UTC.ini"
    printf '%s\n' "$@" >>"$dir/QM_UTC.ini"
    chmod 600 "$dir/QM_UTC.ini"
}
