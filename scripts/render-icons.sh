#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the emblem's PNG icons from packaging/icons/qm-utc.svg. Run it after changing the
# SVG and commit the PNGs; the build only installs them. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
command -v rsvg-convert >/dev/null || { echo "render-icons: install librsvg2-bin" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    rsvg-convert --width "$size" --height "$size" qm-utc.svg --output "${size}x${size}/qm-utc.png"
done
