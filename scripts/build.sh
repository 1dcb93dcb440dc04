#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds in build/: the targets named (for example `scripts/build.sh qm-utc` for
# the program alone), or the program, its tests and its benchmarks when none is named.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
# Ninja schedules the many small test programs better than make; an existing build folder keeps
# the generator it was made with.
if [ ! -f build/CMakeCache.txt ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
