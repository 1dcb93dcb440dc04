#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throw-away DESTDIR and checks the tree a package would hold: the
# program, its desktop entry, its icons and its metainfo, with both freedesktop validators.
# Usage: check-install.sh BUILD_DIR [CMAKE]
set -euo pipefail
build=$1
cmake=${2:-cmake}

for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
share=$root/usr/share
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

desktop=$share/applications/qm-utc.desktop
metainfo=$share/metainfo/io.qmutc.qm_utc.metainfo.xml
for file in "$desktop" "$metainfo" "$share/icons/hicolor/scalable/apps/qm-utc.svg"; do
    [ -f "$file" ] || fail "not installed: ${file#"$root"}"
done

# Each PNG must be as large as the folder it sits in says.
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/qm-utc.png
    if [ ! -f "$png" ]; then
        fail "not installed: ${png#"$root"}"
        continue
    fi
    width=$(od -An -tu1 -j16 -N4 "$png" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    height=$(od -An -tu1 -j20 -N4 "$png" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    [ "$width x $height" = "$size x $size" ] || fail "${png#"$root"} is $width x $height"
done

echo "desktop-file-validate ${desktop#"$root"}:"
# Hints fail too: a category without its main one only shows in a catch-all menu.
if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
    printf '%s\n' "$report"
    fail "desktop-file-validate"
fi
echo "appstreamcli validate --no-net ${metainfo#"$root"}:"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"

# The entry starts the installed program by the name it was installed under.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"

# A Wayland session that chose no platform runs the clock through XWayland, so without an X
# display it says so in one line and exits 1 instead of aborting inside Qt.
set +e
message=$(env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-0 \
    "$root/usr/bin/qm-utc" 2>&1 >/dev/null)
status=$?
set -e
lines=$(printf '%s\n' "$message" | grep -c .)
[ "$status" -eq 1 ] && [ "$lines" -eq 1 ] && [[ $message == qm-utc:*DISPLAY* ]] ||
    fail "under Wayland without DISPLAY: exit $status, stderr: $message"

[ "$failed" -eq 0 ] && echo "install tree OK"
exit "$failed"
