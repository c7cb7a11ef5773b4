#!/usr/bin/env bash
# Installs what is missing, builds brelo and shows the bundled sample map.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBRELO_TESTS=OFF -DBRELO_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target brelo-cli
build/src/brelo-cli info samples/tatry.jnx
