#!/usr/bin/env bash
# Rebuilds the sample map from its generator.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target make_sample
build/tools/make_sample samples/tatry.jnx
