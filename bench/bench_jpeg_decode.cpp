// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a 256 x 256 tile through TJpegImage (load, header, decode) at full size and 1/8.
// Compare with tjbench on the same tile: bench/compare_decode.sh runs both.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "MyJpeg/JpegImage.h"
#include "base/SafeFile.h"
#include "base/Stream.h"

using namespace brelo;

namespace {
const std::vector<std::uint8_t>& Tile() {
  static std::vector<std::uint8_t> tile = [] {
    if (const char* path = std::getenv("BRELO_BENCH_TILE")) return ReadFileBytes(path);
    auto t = bench::TextureJpeg(256, 256, 3);
    WriteFileBytes(bench::TempPath("tile256.jpg"), t.data(), t.size());
    return t;
  }();
  return tile;
}

void DecodeTile(benchmark::State& state) {
  const auto scale = static_cast<TDecodeScale>(state.range(0));
  for (auto _ : state) {
    TJpegImage image;
    image.DecodeScale = scale;
    image.LoadFromBytes(Tile());
    image.Decode();
    benchmark::DoNotOptimize(image.Pixels().Data.data());
  }
  state.counters["tiles/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeTile)->Arg(0)->Arg(3)->ArgName("scale_log2")->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
