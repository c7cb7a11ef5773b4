// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for brelo-cli decode: libjpeg-turbo's TurboJPEG API decoding the tiles of a
// JNX level in one loop, in memory, on one core.
//   tj_decode_loop make OUT.jnx COUNT    a level of COUNT different 256 x 256 tiles
//   tj_decode_loop time FILE.jnx [RUNS]  best loop time over RUNS, in milliseconds
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <turbojpeg.h>

#include "BenchSupport.h"
#include "jnx/JnxReader.h"

using namespace brelo;

int main(int argc, char** argv) {
  const std::string verb = argc > 2 ? argv[1] : "";
  if (verb == "make" && argc == 4) {
    std::vector<std::vector<std::uint8_t>> tiles;
    for (int i = 0; i < std::atoi(argv[3]); ++i) tiles.push_back(bench::TextureJpeg(256, 256, i));
    bench::MakeJnxOfTiles(argv[2], tiles);
    return 0;
  }
  if (verb != "time" || argc > 4) {
    std::fprintf(stderr, "usage: tj_decode_loop make OUT.jnx COUNT | time FILE.jnx [RUNS]\n");
    return 2;
  }
  TJnxMap map;
  map.CurrentFile = argv[2];
  ReadJnx(map, map.CurrentFile, true);
  std::vector<std::vector<std::uint8_t>> jpegs;
  for (int t = 0; t < map.Levels.front().TileCount; ++t) jpegs.push_back(RestoreTileJpeg(map, 0, t));
  tjhandle handle = tjInitDecompress();
  std::vector<unsigned char> rgb(256 * 256 * 3);
  double best = 1e9;
  for (int run = 0; run < (argc > 3 ? std::atoi(argv[3]) : 5); ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (auto& jpeg : jpegs) {
      int w = 0, h = 0, sub = 0, space = 0;
      tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &w, &h, &sub, &space);
      rgb.resize(static_cast<std::size_t>(w) * h * 3);
      if (tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), w, 0, h, TJPF_RGB, 0) != 0) {
        std::fprintf(stderr, "tj_decode_loop: %s\n", tjGetErrorStr2(handle));
        return 1;
      }
    }
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  tjDestroy(handle);
  std::printf("%.1f\n", best);
  return 0;
}
