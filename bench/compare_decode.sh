#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Decode rate of a 256 x 256 tile: brelo's TJpegImage against libjpeg-turbo's own tjbench,
# side by side on the same tile. Usage: bench/compare_decode.sh [BUILD_DIR] [TILE.jpg]
set -euo pipefail
build=${1:-build}
tile=${2:-}
if [[ -z "$tile" ]]; then
  tile=$(mktemp --suffix=.jpg)
  "$build/src/brelo-cli" tile "$(dirname "$0")/../samples/tatry.jnx" 2 1 "$tile"
fi
for scale in 1/1 1/8; do
  rate=$(tjbench "$tile" -rgb -nowrite -benchtime 3 -warmup 1 -scale "$scale" | awk '/Frame rate/ {print $(NF-1); exit}')
  echo "tjbench $scale: $rate tiles/s"
done
BRELO_BENCH_TILE="$tile" "$build/bench/bench_jpeg_decode" --benchmark_min_time=3 | grep DecodeTile
