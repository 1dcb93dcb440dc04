#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing the clock needs on Debian 12, and nothing that
# is already there. Uses sudo when not run as root.
# Usage: scripts/setup.sh [--bench | --desktops]
#   --bench:    also what bench/run compares and counts with
#   --desktops: also GNOME's and KDE's window managers (mutter, KWin with its Breeze frames) for
#               the real-window checks under them, and what runs them on Wayland (XWayland,
#               KWin's Wayland session, sway); about 200 MB
set -euo pipefail

# fonts-vlgothic writes the Japanese regional time (13時05分33秒), which the tests read and
# which shows as empty boxes without any Japanese font; it is Debian 12's smallest (2.2 MB).
packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libxcb1-dev
    fonts-liberation2 fonts-dejavu-core fonts-vlgothic locales
    xvfb openbox xfwm4 metacity dbus-x11 xdotool x11-utils x11-apps wmctrl
    tesseract-ocr tesseract-ocr-eng faketime
    desktop-file-utils appstream file
    dbus-daemon
    weston qt6-wayland
    libpulse-dev libsndfile1-dev sound-theme-freedesktop pulseaudio pulseaudio-utils
)
case "${1:-}" in
--bench) packages+=(dclock conky-std valgrind) ;;
--desktops) packages+=(mutter kwin-x11 kwin-style-breeze kwin-wayland xwayland sway) ;;
"") ;;
*)
    echo "usage: scripts/setup.sh [--bench | --desktops]" >&2
    exit 2
    ;;
esac
# Regional time formats the tests compare: 24-hour ones, a 12-hour one and a Japanese one.
locales=(en_US.UTF-8 en_GB.UTF-8 de_DE.UTF-8 ja_JP.UTF-8)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}" >/dev/null
fi

generate=no
for name in "${locales[@]}"; do
    short=$(echo "$name" | sed 's/UTF-8/utf8/')
    if ! locale -a 2>/dev/null | grep -qx "$short"; then
        "${as_root[@]}" sed -i "s/^# *\\($name UTF-8\\)/\\1/" /etc/locale.gen
        grep -q "^$name UTF-8" /etc/locale.gen ||
            echo "$name UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
        generate=yes
    fi
done
if [ "$generate" = yes ]; then
    echo "setup: generating locales ${locales[*]}"
    "${as_root[@]}" locale-gen >/dev/null
fi
