// SPDX-License-Identifier: GPL-3.0-or-later
// The device check of a folder of 250 maps (headers, tables and each tile's first bytes, on
// every core) against reading the same headers and tables alone, one file after another.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "check/DeviceCheck.h"
#include "jnx/JnxReader.h"

using namespace brelo;

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string dir = bench::TempPath("check250/");
    std::filesystem::create_directories(dir);
    const auto tile = bench::TextureJpeg(256, 256, 5);
    for (int i = 0; i < 250; ++i) bench::MakeJnx(dir + "map" + std::to_string(i) + ".jnx", 40, tile);
    return dir;
  }();
  return folder;
}

void HeaderAndTableLoads(benchmark::State& state) {
  const std::string dir = Folder();
  for (auto _ : state)
    for (int i = 0; i < 250; ++i) {
      TJnxMap map;
      ReadJnx(map, dir + "map" + std::to_string(i) + ".jnx", true);
      benchmark::DoNotOptimize(map.Levels.data());
    }
}
BENCHMARK(HeaderAndTableLoads)->Unit(benchmark::kMillisecond)->UseRealTime();

void CheckFolder250(benchmark::State& state) {
  const std::string dir = Folder();
  const unsigned threads = state.range(0) == 0 ? PipelineThreads() : static_cast<unsigned>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(CheckFolder(dir, TCheckDepth::Tiles, threads));
}
BENCHMARK(CheckFolder250)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
