#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# save-map of a JNX of over 200 MB against cp of the same file, side by side, warm cache, both
# to a new name and over an existing copy. Usage: bench/compare_save_map.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
big=${TMPDIR:-/tmp}/brelo-bench/big.jnx
[[ -f "$big" ]] || "$build/bench/bench_writers" --benchmark_filter=CopyFile200MB --benchmark_min_time=0.01 >/dev/null
ls -l "$big"
cat "$big" >/dev/null
cp_out=${big%.jnx}_cp.jnx
saved=${big%.jnx}_saved.jnx
time_it() {  # best of $runs, in milliseconds; $1 is removed before each run when fresh
  local remove=$1 best=999999
  shift
  for ((i = 0; i < runs; i++)); do
    [[ -n "$remove" ]] && rm -f "$remove" && sync
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    ((ms < best)) && best=$ms
  done
  echo "$best"
}
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
cp_new=$(time_it "$cp_out" cp "$big" "$cp_out")
save_new=$(time_it "$saved" "$build/src/brelo-cli" save-map "$big")
cp_over=$(time_it "" cp "$big" "$cp_out")
save_over=$(time_it "" "$build/src/brelo-cli" save-map "$big")
echo "new name:      cp ${cp_new} ms, save-map ${save_new} ms, ratio $(ratio "$save_new" "$cp_new")"
echo "over existing: cp ${cp_over} ms, save-map ${save_over} ms, ratio $(ratio "$save_over" "$cp_over")"
