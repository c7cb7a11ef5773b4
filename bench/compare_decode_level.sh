#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# brelo-cli decode of a level of 1,024 different 256 x 256 tiles, the whole process, against
# TurboJPEG decoding the same tiles in one loop in memory on one core.
# Usage: bench/compare_decode_level.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
jnx=${TMPDIR:-/tmp}/brelo-bench/level1024.jnx
mkdir -p "$(dirname "$jnx")"
[[ -f "$jnx" ]] || "$build/bench/tj_decode_loop" make "$jnx" 1024
best=999999
for ((i = 0; i < runs; i++)); do
  t0=$(date +%s%N)
  "$build/src/brelo-cli" decode "$jnx" >/dev/null
  t1=$(date +%s%N)
  ms=$(((t1 - t0) / 1000000))
  ((ms < best)) && best=$ms
done
tj=$("$build/bench/tj_decode_loop" time "$jnx" "$runs")
echo "brelo-cli decode: ${best} ms, TurboJPEG one-core loop: ${tj} ms, ratio $(awk "BEGIN {printf \"%.2f\", $best / $tj}")"
