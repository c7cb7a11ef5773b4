#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The renderer zoomed far in (scale 256) and out to the whole level, on the sample map and on
# a level of 50,000 tiles (about 550 MB), each pass in a process of its own with its peak
# resident memory; beside brelo-cli decode --scale 8 of the 50,000 tiles on every core.
# Usage: bench/compare_zoom.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
for case in SampleZoomedIn256 SampleZoomedOut Level50kZoomedIn256 Level50kZoomedOut; do
  "$build/bench/bench_render" --benchmark_filter="^$case/" --benchmark_format=csv 2>/dev/null |
    awk -F, -v c="$case" 'NR > 1 && index($1, c) { printf "%-22s %9.1f ms  peak %6.1f MB  scale %g  tiles %d\n", c, $3, $(NF-2), $(NF-1), $NF }'
done
level=${TMPDIR:-/tmp}/brelo-bench/level50k.jnx
cat "$level" >/dev/null
best=999999
for ((i = 0; i < runs; i++)); do
  t0=$(date +%s%N)
  "$build/src/brelo-cli" decode "$level" --scale 8 >/dev/null
  t1=$(date +%s%N)
  ms=$(((t1 - t0) / 1000000))
  ((ms < best)) && best=$ms
done
peak=$( { /usr/bin/time -f "%M" "$build/src/brelo-cli" decode "$level" --scale 8 >/dev/null; } 2>&1 | tail -1)
echo "brelo-cli decode --scale 8 of the 50,000 tiles: ${best} ms, peak $((peak / 1024)) MB"
