// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file save of a JNX of over 200 MB against copying the file, and tile extraction of a
// 1,000-tile level against decoding and encoding the same tiles with libjpeg-turbo alone.
// bench/compare_save_map.sh also times the system's cp on the same file.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "RawJpeg.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/TileExtraction.h"

using namespace brelo;

namespace {

// 15,500 tiles of about 14 KB: a little over 200 MB.
const std::string& BigFile() {
  static const std::string path = bench::SyntheticJnx("big.jnx", 15500, 256, 5);
  return path;
}

const std::string& ThousandTiles() {
  static const std::string path = bench::SyntheticJnx("tiles1000.jnx", 1000, 256, 7);
  return path;
}

void SaveMap200MB(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = BigFile();
  ReadJnx(map, map.CurrentFile, true);
  const std::string dest = bench::TempPath("big_saved.jnx");
  for (auto _ : state) {
    auto writer = [&map](TFileStream& out, std::uint32_t first) { CopyTileData(map, out, first, nullptr); };
    WriteJnx(map, dest, -1, writer, nullptr);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * map.FileSize);
}
BENCHMARK(SaveMap200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void CopyFile200MB(benchmark::State& state) {
  const std::string dest = bench::TempPath("big_copy.jnx");
  for (auto _ : state) std::filesystem::copy_file(BigFile(), dest, std::filesystem::copy_options::overwrite_existing);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(BigFile())));
}
BENCHMARK(CopyFile200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveTiles1000(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = ThousandTiles();
  ReadJnx(map, map.CurrentFile, true);
  for (auto _ : state) benchmark::DoNotOptimize(SaveTiles(map, nullptr));
}
BENCHMARK(SaveTiles1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void DecodeEncode1000WithLibjpeg(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = ThousandTiles();
  ReadJnx(map, map.CurrentFile, true);
  std::vector<std::vector<std::uint8_t>> jpegs;
  for (int t = 0; t < map.Levels[0].TileCount; ++t) jpegs.push_back(RestoreTileJpeg(map, 0, t));
  bench::TRawJpeg codec;
  std::vector<std::uint8_t> rgb, out;
  for (auto _ : state) {
    for (const auto& j : jpegs) {
      int w, h;
      codec.Decode(j, rgb, w, h);
      codec.Encode(rgb, w, h, 90, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
}
BENCHMARK(DecodeEncode1000WithLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
