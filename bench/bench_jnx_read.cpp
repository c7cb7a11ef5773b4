// SPDX-License-Identifier: GPL-3.0-or-later
// Detailed load of a 50,000-tile JNX against reading the same bytes (header and tile tables)
// sequentially with one buffered stream.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "base/Stream.h"
#include "jnx/JnxReader.h"

using namespace brelo;

namespace {
const std::string& File() {
  static const std::string path = bench::SyntheticJnx("read50k.jnx", 50000, 16, 1);
  return path;
}

void ReadJnxDetailed(benchmark::State& state) {
  TJnxMap map;
  for (auto _ : state) {
    ReadJnx(map, File(), true);
    benchmark::DoNotOptimize(map.Levels[0].Tiles.data());
  }
  state.counters["tiles"] = static_cast<double>(map.Levels[0].TileCount);
}
BENCHMARK(ReadJnxDetailed)->Unit(benchmark::kMillisecond);

void SequentialReadOfSameBytes(benchmark::State& state) {
  TJnxMap map;
  ReadJnx(map, File(), true);
  const std::uint64_t bytes = static_cast<std::uint32_t>(map.Levels[0].TilesOffset) + 28ull * map.Levels[0].TileCount;
  std::vector<char> buffer(bytes);
  for (auto _ : state) {
    TFileStream in(File(), TOpenMode::Read);
    benchmark::DoNotOptimize(in.Read(buffer.data(), buffer.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(SequentialReadOfSameBytes)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
