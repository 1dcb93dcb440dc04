#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throw-away DESTDIR and checks the tree a package would hold: the
# program (stripped), its desktop entry, its icons and its metainfo, with both freedesktop
# validators, its copyright file, manual page and changelog, and one version throughout. Then
# builds the Debian package and looks into it as lintian would (and runs lintian when it is
# installed).
# Usage: check-install.sh BUILD_DIR [CMAKE [CPACK]]
set -euo pipefail
build=$1
cmake=${2:-cmake}
cpack=${3:-cpack}

for tool in desktop-file-validate appstreamcli file dpkg-deb; do
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

stripped() { # FILE: says so unless `file` finds it stripped
    local info
    info=$(file -b "$1")
    [[ $info == *", stripped"* ]] || fail "${1#"$root"} is not stripped: $info"
}
stripped "$root/usr/bin/qm-utc"
# The alarm sound's helper, where the clock looks for it from its own folder.
ring=$root/usr/libexec/qm-utc/qm-utc-ring
if [ -x "$ring" ]; then stripped "$ring"; else fail "not installed: ${ring#"$root"}"; fi

# Debian's machine-readable copyright file, and the compressed documents Debian expects.
copyright=$share/doc/qm-utc/copyright
if [ -f "$copyright" ]; then
    format='Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
    [ "$(head -n1 "$copyright")" = "$format" ] || fail "copyright: first line is not '$format'"
    grep -qx 'License: GPL-3+' "$copyright" || fail "copyright: no 'License: GPL-3+'"
else
    fail "not installed: ${copyright#"$root"}"
fi
for gz in "$share/man/man1/qm-utc.1.gz" "$share/doc/qm-utc/changelog.Debian.gz"; do
    gzip -t "$gz" 2>/dev/null || fail "not installed, or not gzip: ${gz#"$root"}"
done

# One version: the program's, the metainfo's release and, below, the package's.
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n1)
version=$("$root/usr/bin/qm-utc" --version) || fail "qm-utc --version: exit $?"
[ -n "$release" ] && [ "$version" = "qm-utc $release" ] ||
    fail "qm-utc --version says '$version', the metainfo's release is '$release'"
echo "version: $version"

package=$root/package
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$package" >"$root/cpack.log" 2>&1 ||
    { cat "$root/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(ls "$package"/qm-utc_*.deb)
echo "package: ${deb##*/}"
[[ $(dpkg-deb -f "$deb" Version) == "$release"-* ]] ||
    fail "the package's version $(dpkg-deb -f "$deb" Version) is not $release"
depends=$(dpkg-deb -f "$deb" Depends)
# A minimal system installs no recommendations, and without the X11 platform plugin, which no
# library names, Qt cannot start: the package that ships it here must be a dependency.
xcb_owner=$(dpkg-query -S '*/qt6/plugins/platforms/libqxcb.so' 2>/dev/null | head -n1 | cut -d: -f1)
for needed in fonts-liberation2 ${xcb_owner:-}; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "the package's Depends lacks $needed: $depends"
done
[ -n "$xcb_owner" ] || echo "no Debian package ships Qt's X11 platform plugin here; not checked"
echo "Depends: $depends"
dpkg-deb -x "$deb" "$package/tree"
for file in usr/share/doc/qm-utc/copyright usr/share/doc/qm-utc/changelog.Debian.gz \
    usr/share/man/man1/qm-utc.1.gz; do
    [ -f "$package/tree/$file" ] || fail "the package lacks /$file"
done
stripped "$package/tree/usr/bin/qm-utc"
stripped "$package/tree/usr/libexec/qm-utc/qm-utc-ring"
[[ $(dpkg-deb -f "$deb" Depends) == *libpulse0* ]] ||
    fail "the package does not depend on libpulse0: $(dpkg-deb -f "$deb" Depends)"
if command -v lintian >/dev/null; then
    # Only an upload to Debian's own archive closes a bug with its first changelog entry.
    tags=$(lintian --tag-display-limit 0 "$deb" 2>/dev/null | grep -E '^[EW]: ' |
        grep -v ' initial-upload-closes-no-bugs ' || true)
    if [ -n "$tags" ]; then fail "lintian: $tags"; else echo "lintian: no errors or warnings"; fi
fi

[ "$failed" -eq 0 ] && echo "install tree OK"
exit "$failed"
