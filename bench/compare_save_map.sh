#!/usr/bin/env bash
# save-map of a JNX of over 200 MB against cp of the same file, side by side, warm cache.
# Usage: bench/compare_save_map.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
big=${TMPDIR:-/tmp}/brelo-bench/big.jnx
[[ -f "$big" ]] || "$build/bench/bench_writers" --benchmark_filter=CopyFile200MB --benchmark_min_time=0.01 >/dev/null
ls -l "$big"
time_it() {  # best of $runs, in milliseconds
  local best=999999
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    ((ms < best)) && best=$ms
  done
  echo "$best"
}
cp_ms=$(time_it cp "$big" "${big%.jnx}_cp.jnx")
save_ms=$(time_it "$build/src/brelo-cli" save-map "$big")
echo "cp: ${cp_ms} ms, save-map: ${save_ms} ms, ratio $(awk "BEGIN {printf \"%.2f\", $save_ms / $cp_ms}")"
