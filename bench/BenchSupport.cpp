// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSupport.h"

#include <cmath>
#include <filesystem>

#include "MyJpeg/JpegImage.h"
#include "base/Coordinates.h"
#include "base/Paths.h"
#include "jnx/Guid.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"

namespace brelo::bench {

std::string TempPath(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / "brelo-bench";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

std::vector<std::uint8_t> TextureJpeg(int width, int height, int seed) {
  TPixelBuffer p(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* q = p.Row(y) + x * 3;
      double v = std::sin(x * 0.11 + seed) * std::cos(y * 0.07 - seed) + std::sin((x + y) * 0.31);
      q[0] = static_cast<std::uint8_t>(128 + 60 * v);
      q[1] = static_cast<std::uint8_t>(120 + 50 * std::sin(x * 0.05 + y * 0.02));
      q[2] = static_cast<std::uint8_t>((x ^ y) & 0x3F) + 60;
    }
  std::vector<std::uint8_t> out;
  EncodeJpeg(p, 85, false, false, out);
  return out;
}

namespace {

// The map's header and tile table for count tiles of the given sizes on a square grid of
// 0.01 degree tiles from 50 N, 10 E.
TJnxMap GridMap(int count, const std::vector<std::int32_t>& sizes) {
  TJnxMap map;
  map.Version = 4;
  map.BlockVersion = 9;
  map.Guid = NewGuid();
  map.ProductName = "bench";
  map.ZOrder = 30;
  const int side = static_cast<int>(std::ceil(std::sqrt(count)));
  const std::int32_t step = DegToJnx(0.01);
  map.North = DegToJnx(50), map.West = DegToJnx(10);
  map.South = map.North - step * side, map.East = map.West + step * side;
  TJnxLevel level;
  level.Scale = 2388;
  for (int i = 0; i < count; ++i) {
    TJnxTile t;
    t.Left = map.West + step * (i % side), t.Right = t.Left + step;
    t.Top = map.North - step * (i / side), t.Bottom = t.Top - step;
    t.Width = t.Height = 256;
    t.ImageSize = sizes[static_cast<std::size_t>(i) % sizes.size()];
    level.Tiles.push_back(t);
  }
  level.TileCount = count;
  map.Levels.push_back(std::move(level));
  map.LevelCount = map.LevelCount2 = 1;
  RebuildSourceLocations(map);
  return map;
}

bool HasTiles(const std::string& path, int count) {
  if (!FileExists(path)) return false;
  TJnxMap m;
  ReadJnx(m, path, false);
  return !m.Levels.empty() && m.Levels[0].TileCount == count;
}

}  // namespace

std::string CyclingJnx(const std::string& name, int count, int distinct) {
  const std::string path = TempPath(name);
  if (HasTiles(path, count)) return path;
  std::vector<std::vector<std::uint8_t>> jpegs;
  std::vector<std::int32_t> sizes;
  for (int i = 0; i < distinct; ++i) {
    jpegs.push_back(TextureJpeg(256, 256, i));
    sizes.push_back(static_cast<std::int32_t>(jpegs.back().size() - 2));
  }
  TJnxMap map = GridMap(count, sizes);
  WriteJnx(
      map, path, -1,
      [&](TFileStream& out, std::uint32_t) {
        for (int i = 0; i < count; ++i) {
          const auto& jpeg = jpegs[static_cast<std::size_t>(i % distinct)];
          out.Write(jpeg.data() + 2, jpeg.size() - 2);
        }
      },
      nullptr);
  return path;
}

void MakeJnx(const std::string& path, int count, const std::vector<std::uint8_t>& jpeg) {
  MakeJnxOfTiles(path, std::vector<std::vector<std::uint8_t>>(static_cast<std::size_t>(count), jpeg));
}

void MakeJnxOfTiles(const std::string& path, const std::vector<std::vector<std::uint8_t>>& jpegs) {
  const int count = static_cast<int>(jpegs.size());
  if (HasTiles(path, count)) return;
  std::vector<std::int32_t> sizes;
  for (const auto& jpeg : jpegs) sizes.push_back(static_cast<std::int32_t>(jpeg.size() - 2));
  TJnxMap map = GridMap(count, sizes);
  auto writer = [&](TFileStream& out, std::uint32_t) {
    for (const auto& jpeg : jpegs) out.Write(jpeg.data() + 2, jpeg.size() - 2);
  };
  WriteJnx(map, path, -1, writer, nullptr);
}

std::string SyntheticJnx(const std::string& name, int count, int tileSide, int seed) {
  std::string path = TempPath(name);
  MakeJnx(path, count, TextureJpeg(tileSide, tileSide, seed));
  return path;
}

}  // namespace brelo::bench
