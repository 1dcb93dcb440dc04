#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a private X server (Xvfb) with a window manager (openbox), then
# ends both. Usage: with-x11.sh COMMAND [ARGS...]
set -euo pipefail
# shellcheck source=x11-lib.sh
. "$(dirname "$0")/x11-lib.sh"
trap x11_stop EXIT
x11_start
"$@"
