// SPDX-License-Identifier: GPL-3.0-or-later
// Map creation from an 8192 x 8192 calibrated JPEG with 256 x 256 tiles, against one decode of
// the source and one encode of its 1,024 tiles with libjpeg-turbo on one thread; and the export
// of a 1,000-tile level, against decoding, resampling and encoding the same tiles with
// libjpeg-turbo alone.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "RawJpeg.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "export/OziExport.h"
#include "jnx/JnxReader.h"
#include "uMapCreation/ImageCutter.h"
#include "uMapCreation/MapBuilder.h"

using namespace brelo;

namespace {

const std::string& BigPicture() {
  static std::string path = [] {
    std::string p = bench::TempPath("big8192.jpg");
    if (!FileExists(p)) {
      TPixelBuffer picture(8192, 8192, 3);
      for (int y = 0; y < 8192; ++y)
        for (int x = 0; x < 8192; ++x) {
          std::uint8_t* q = picture.Row(y) + x * 3;
          q[0] = static_cast<std::uint8_t>((x * 7 + y) >> 5);
          q[1] = static_cast<std::uint8_t>(((x ^ y) & 0xFF) / 2 + 60);
          q[2] = static_cast<std::uint8_t>((y * 3) >> 6);
        }
      std::vector<std::uint8_t> jpeg;
      EncodeJpeg(picture, 85, false, false, jpeg);
      WriteFileBytes(p, jpeg.data(), jpeg.size());
    }
    std::string map =
        "OziExplorer Map Data File Version 2.2\r\nbig\r\nbig8192.jpg\r\n1,Map Code,\r\n"
        "WGS 84,WGS 84,0,0,WGS 84\r\nMap Projection,Latitude/Longitude\r\nMMPNUM,4\r\n"
        "MMPXY,1,0,0\r\nMMPXY,2,8192,0\r\nMMPXY,3,8192,8192\r\nMMPXY,4,0,8192\r\n"
        "MMPLL,1,19.0,50.0\r\nMMPLL,2,20.0,50.0\r\nMMPLL,3,20.0,49.4\r\nMMPLL,4,19.0,49.4\r\n"
        "IWH,Map Image Width/Height,8192,8192\r\n";
    WriteFileBytes(bench::TempPath("big8192.map"), map.data(), map.size());
    return p;
  }();
  return path;
}

void CreateFrom8192Jpeg(benchmark::State& state) {
  BigPicture();
  const std::string map = bench::TempPath("big8192.map");
  for (auto _ : state) {
    TCreationParams params{map, 1, "bench", 30, "1.2km", "", "", "", ""};
    try {
      BuildJnxFromPicture(params, 256, 256);
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
}
BENCHMARK(CreateFrom8192Jpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void OneDecodeAndTileEncodeWithLibjpeg(benchmark::State& state) {
  const auto source = ReadFileBytes(BigPicture());
  bench::TRawJpeg codec;
  std::vector<std::uint8_t> rgb, tile(256 * 256 * 3), out;
  for (auto _ : state) {
    int w, h;
    codec.Decode(source, rgb, w, h);
    for (int ty = 0; ty < h; ty += 256)
      for (int tx = 0; tx < w; tx += 256) {
        for (int y = 0; y < 256; ++y)
          std::copy_n(rgb.data() + (static_cast<std::size_t>(ty + y) * w + tx) * 3, 256 * 3, tile.data() + y * 256 * 3);
        codec.Encode(tile, 256, 256, 90, out);
        benchmark::DoNotOptimize(out.data());
      }
  }
}
BENCHMARK(OneDecodeAndTileEncodeWithLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

const std::string& ExportSource() {
  static const std::string path = bench::SyntheticJnx("export1000.jnx", 1000, 256, 9);
  return path;
}

void ExportTar1000(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = ExportSource();
  ReadJnx(map, map.CurrentFile, true);
  TViewState view;
  SetLevelGeometry(view, map.Levels[0]);
  for (auto _ : state) ExportOziTileSet(map, 0, view, {});
}
BENCHMARK(ExportTar1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void DecodeResampleEncode1000WithLibjpeg(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = ExportSource();
  ReadJnx(map, map.CurrentFile, true);
  std::vector<std::vector<std::uint8_t>> jpegs;
  for (int t = 0; t < map.Levels[0].TileCount; ++t) jpegs.push_back(RestoreTileJpeg(map, 0, t));
  // The cells the export resamples to: the level's pixels in the view it sets up.
  TViewState view;
  SetLevelGeometry(view, map.Levels[0]);
  const TJnxTile& t0 = map.Levels[0].Tiles[0];
  const int cellW = LonToX(view, map, t0.Right) - LonToX(view, map, t0.Left);
  const int cellH = LatToY(view, map, t0.Bottom) - LatToY(view, map, t0.Top);
  state.counters["cell_w"] = cellW;
  bench::TRawJpeg codec;
  std::vector<std::uint8_t> rgb, out;
  TPixelBuffer src, dst(cellW, cellH, 3);
  for (auto _ : state)
    for (const auto& j : jpegs) {
      int w, h;
      codec.Decode(j, rgb, w, h);
      src.Width = w, src.Height = h, src.Channels = 3;
      src.Data.swap(rgb);
      StretchHalftone(src, dst);
      src.Data.swap(rgb);
      codec.Encode(dst.Data, cellW, cellH, 90, out);
      benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(DecodeResampleEncode1000WithLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
