#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds brelo and shows the bundled sample map in its window; without
# a display it prints brelo-cli's summary of the map instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBRELO_TESTS=OFF -DBRELO_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target brelo brelo-cli
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/src/brelo samples/tatry.jnx
fi
echo "No display: the map as brelo-cli sees it."
build/src/brelo-cli info samples/tatry.jnx
