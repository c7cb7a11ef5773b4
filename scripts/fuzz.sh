#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for a bounded time on its seed corpus. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELO_FUZZ=ON \
  -DBRELO_TESTS=OFF -DBRELO_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_read_jnx fuzz_tar fuzz_gpx
# The fuzzers run side by side; each one's last lines are printed when all are done.
pids=() logs=() works=()
for name in read_jnx tar gpx; do
  work=$(mktemp -d) log=$(mktemp)
  cp fuzz/corpus/$name/* "$work/"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-fuzz/fuzz/fuzz_$name "$work" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len=65536 \
    -print_final_stats=0 -artifact_prefix="build-fuzz/crash-$name-" >"$log" 2>&1 &
  pids+=($!) logs+=("$log") works+=("$work")
done
status=0
names=(read_jnx tar gpx)
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then status=1; echo "fuzz_${names[$i]} FAILED:"; cat "${logs[$i]}"; fi
  echo "fuzz_${names[$i]}: ${seconds}s"
  tail -n 2 "${logs[$i]}"
  rm -rf "${works[$i]}" "${logs[$i]}"
done
exit $status
