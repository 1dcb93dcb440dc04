#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the clock's Debian package on a fresh Debian 12 (bookworm) root made with debootstrap
# and checks that it starts there from its desktop entry: apt-get resolves the dependencies, ldd
# finds every library, without a display the Exec line prints one line and exits 1 while
# --version and --next answer, and with an X display (a private Xvfb on this machine, reached from inside the root) it maps its window.
# The root is thrown away afterwards.
#
# Usage, as root:  scripts/check-deb.sh [PACKAGE.deb]     (default: the newest build/qm-utc_*.deb)
# Environment:     QMUTC_DEBIAN_MIRROR     (default http://deb.debian.org/debian)
#                  QMUTC_DEBOOTSTRAP_CACHE (base packages kept between runs;
#                                           default /var/cache/qm-utc-debootstrap)
set -euo pipefail
cd "$(dirname "$0")/.."

mirror=${QMUTC_DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=${QMUTC_DEBOOTSTRAP_CACHE:-/var/cache/qm-utc-debootstrap}
deb=${1:-$(ls -t build/qm-utc_*.deb 2>/dev/null | head -n1 || true)}

die() { echo "check-deb: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || die "run as root: debootstrap and chroot need it"
[ -n "$deb" ] && [ -f "$deb" ] ||
    die "no package; build one first: scripts/build.sh && (cd build && cpack -G DEB)"
for tool in Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || die "$tool is missing (run scripts/setup.sh)"
done
if ! command -v debootstrap >/dev/null; then
    echo "check-deb: installing debootstrap"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
        >/dev/null
fi

start=$SECONDS
step() { printf '[%3ss] %s\n' $((SECONDS - start)) "$*"; }
fail() { step "FAIL: $*"; exit 1; }

root=$(mktemp -d /var/tmp/qm-utc-root.XXXXXX)
work=$(mktemp -d)
mounts=()
xvfb_pid=""
app_pid=""
finish() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
    done
    # Never delete through a mount that is still there: the X socket is the host's own.
    if grep -q " $root/" /proc/mounts; then
        echo "check-deb: $root still has mounts; left in place" >&2
    else
        rm -rf --one-file-system "$root"
    fi
    rm -rf "$work"
}
trap finish EXIT

# Commands inside the root, with a clean environment and no display unless given one.
enter=()
in_root() { "${enter[@]}" "$@"; }

step "debootstrap --variant=minbase bookworm $root ($mirror)"
mkdir -p "$cache"
debootstrap --variant=minbase --cache-dir="$cache" bookworm "$root" "$mirror" \
    >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log" >&2; fail "debootstrap"; }
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
enter=(chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin
    HOME=/root LANG=C.UTF-8 XDG_CONFIG_HOME=/tmp/config XDG_RUNTIME_DIR=/tmp/runtime)
mkdir -p "$root/tmp/config" "$root/tmp/runtime" && chmod 700 "$root/tmp/runtime"

name=$(basename "$deb")
cp "$deb" "$root/tmp/$name"
step "apt-get install --no-install-recommends ./$name"
in_root apt-get update -qq >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get update"; }
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    --no-install-recommends ./$name" >"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; fail "apt-get install ./$name"; }
step "installed $(grep -c '^Setting up' "$work/apt.log") packages; $(in_root dpkg-query -W \
    -f='${Package} ${Version}' qm-utc)"
echo "       Depends: $(in_root dpkg-query -W -f='${Depends}' qm-utc)"

desktop=/usr/share/applications/qm-utc.desktop
[ -f "$root$desktop" ] || fail "$desktop is not installed"
exec_line=$(sed -n 's/^Exec=//p' "$root$desktop" | sed 's/ *%[a-zA-Z]//g')
program=$(in_root sh -c "command -v ${exec_line%% *}") || fail "Exec=$exec_line is not on PATH"
for icon in scalable/apps/qm-utc.svg 48x48/apps/qm-utc.png; do
    [ -f "$root/usr/share/icons/hicolor/$icon" ] || fail "icon $icon is not installed"
done

plugin=$(in_root sh -c 'ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so')
ring=/usr/libexec/qm-utc/qm-utc-ring
for file in "$program" "$plugin" "$ring"; do
    missing=$(in_root ldd "$file" | grep 'not found' || true)
    [ -z "$missing" ] || fail "ldd $file: $missing"
done
step "ldd resolves every library of $program, of the X11 platform plugin and of $ring"
step "the plugin comes from $(in_root dpkg-query -S "$plugin" | cut -d: -f1), installed without recommendations"
step "fc-match Arial: $(in_root fc-match Arial)"

set +e
in_root sh -c "exec $exec_line" >"$work/out" 2>"$work/err"
status=$?
set -e
[ "$status" -eq 1 ] && [ "$(grep -c . "$work/err")" -eq 1 ] && [ ! -s "$work/out" ] ||
    fail "without a display: exit $status, output: $(cat "$work/out" "$work/err")"
step "without a display, '$exec_line' exits 1 with: $(cat "$work/err")"

# The options need no display: the version is the package's, and --next reads no settings yet.
version=$(in_root qm-utc --version) || fail "qm-utc --version: exit $?"
[[ $(in_root dpkg-query -W -f='${Version}' qm-utc) == "${version#qm-utc }"-* ]] ||
    fail "qm-utc --version says '$version'"
next=$(in_root qm-utc --next) && [ "$next" = "No alarm armed" ] ||
    fail "qm-utc --next without a display: '$next'"
step "without a display, '$version', and --next says: $next"

# The X server runs here; its socket directory is lent to the root.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 200); do
    display=$(tr -dc '0-9' <"$work/display")
    [ -n "$display" ] && break
    sleep 0.05
done
[ -n "$display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && mounts+=("$root/tmp/.X11-unix")

# Started directly, not through a function, so that $! is the clock's own process.
"${enter[@]}" DISPLAY=":$display" sh -c "exec $exec_line" >"$work/app.log" 2>&1 &
app_pid=$!
window=""
deadline=$((SECONDS + 20))
while [ "$SECONDS" -lt "$deadline" ]; do
    window=$(DISPLAY=":$display" xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null |
        head -n1 || true)
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the clock ended: $(cat "$work/app.log")"
    sleep 0.1
done
[ -n "$window" ] || fail "no window mapped within 20 s: $(cat "$work/app.log")"
title=$(DISPLAY=":$display" xdotool getwindowname "$window")
size=$(DISPLAY=":$display" xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2}
    END {print w "x" h}')
step "with DISPLAY=:$display, '$exec_line' maps its window \"$title\" ($size)"
[ -s "$work/app.log" ] && { echo "       its output:"; sed 's/^/         /' "$work/app.log"; }
kill "$app_pid" && wait "$app_pid" 2>/dev/null || true
app_pid=""
step "PASS: $name installs and starts on a fresh Debian 12"
