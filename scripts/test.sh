#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and runs every test: the plain build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
scripts/install-deps.sh --test

echo "== format"
scripts/check-format.sh

echo "== plain build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBRELO_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build"
# Light optimisation and line tables only: the sanitizers' reports keep their file and line, and
# the build takes half the time of a full debug-info build.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DBRELO_SANITIZE=ON -DBRELO_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

if [[ -d fuzz ]] && [[ -f fuzz/CMakeLists.txt ]]; then
  echo "== fuzzers"
  scripts/fuzz.sh "${BRELO_FUZZ_SECONDS:-45}"
fi
