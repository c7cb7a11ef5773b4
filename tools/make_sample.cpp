// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the bundled sample map and writes it as a two-level JNX file, or only its picture
// as a JPEG file (the source of the peer-written test files):
//   make_sample OUT.jnx [--version 3]
//   make_sample --picture OUT.jpg WIDTH HEIGHT
// The picture is computed here (hills, a lake, a river, a grid), so the sample carries no
// third-party imagery. The fine level is 1000 x 700 pixels, so its east and south tiles are
// partial; the coarse level is half that size.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "base/Coordinates.h"
#include "base/SafeFile.h"
#include "jnx/Guid.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"

using namespace brelo;

namespace {

constexpr double kNorth = 49.30, kSouth = 49.16, kWest = 19.80, kEast = 20.10;

TPixelBuffer DrawPicture(int w, int h) {
  TPixelBuffer img(w, h, 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double u = double(x) / w, v = double(y) / h;
      double height = 0.5 + 0.25 * std::sin(u * 9.0 + std::cos(v * 5.0)) * std::cos(v * 7.0 - u * 2.0) +
                      0.2 * std::sin((u + v) * 17.0) * 0.5 - 0.3 * v;
      double lake = std::hypot((u - 0.3) * 1.4, v - 0.65);
      double river = std::fabs(v - (0.3 + 0.1 * std::sin(u * 12.0)));
      std::uint8_t* p = img.Row(y) + x * 3;
      if (lake < 0.09 || river < 0.006) {
        p[0] = 60, p[1] = 110, p[2] = 200;
      } else {
        double t = std::clamp(height, 0.0, 1.0);
        p[0] = static_cast<std::uint8_t>(90 + 140 * t);
        p[1] = static_cast<std::uint8_t>(150 + 60 * t - 40 * t * t);
        p[2] = static_cast<std::uint8_t>(70 + 120 * t * t);
        if (std::fmod(height * 20.0 + 100.0, 1.0) < 0.08) p[0] = p[1] = p[2] = 110;  // contour lines
      }
      if (x % 125 == 0 || y % 125 == 0) p[0] = p[1] = p[2] = 40;  // grid
    }
  }
  return img;
}

struct TStoredLevel {
  TJnxLevel Level;
  std::vector<std::vector<std::uint8_t>> Jpegs;
};

TStoredLevel CutLevel(const TPixelBuffer& img, std::uint32_t scale, const char* name, int quality) {
  TStoredLevel out;
  out.Level.Scale = scale;
  out.Level.Name = name;
  out.Level.Description = std::string(name) + " of the sample map";
  out.Level.Copyright = out.Level.LevelCopyright = "brelo sample, drawn by its generator";
  const double lonPerPx = (kEast - kWest) / img.Width, latPerPx = (kNorth - kSouth) / img.Height;
  for (int ty = 0; ty < img.Height; ty += 256)
    for (int tx = 0; tx < img.Width; tx += 256) {
      int w = std::min(256, img.Width - tx), h = std::min(256, img.Height - ty);
      TPixelBuffer tile(w, h, 3);
      for (int y = 0; y < h; ++y) std::copy_n(img.Row(ty + y) + tx * 3, w * 3, tile.Row(y));
      std::vector<std::uint8_t> jpeg;
      EncodeJpeg(tile, quality, false, false, jpeg);
      TJnxTile t;
      t.Top = DegToJnx(kNorth - ty * latPerPx);
      t.Bottom = DegToJnx(kNorth - (ty + h) * latPerPx);
      t.Left = DegToJnx(kWest + tx * lonPerPx);
      t.Right = DegToJnx(kWest + (tx + w) * lonPerPx);
      t.Width = static_cast<std::int16_t>(w);
      t.Height = static_cast<std::int16_t>(h);
      t.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);
      out.Level.Tiles.push_back(t);
      out.Jpegs.push_back(std::move(jpeg));
    }
  out.Level.TileCount = static_cast<std::int32_t>(out.Level.Tiles.size());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--picture") {
    const int w = std::atoi(argv[3]), h = std::atoi(argv[4]);
    if (w < 1 || h < 1 || w > 10000 || h > 10000) {
      std::fprintf(stderr, "make_sample: picture sizes from 1 to 10000\n");
      return 2;
    }
    std::vector<std::uint8_t> jpeg;
    EncodeJpeg(DrawPicture(w, h), 95, false, false, jpeg);
    try {
      WriteFileBytes(argv[2], jpeg.data(), jpeg.size());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "make_sample: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  const bool v3 = argc == 4 && std::string(argv[2]) == "--version" && std::string(argv[3]) == "3";
  if (argc != 2 && !v3) {
    std::fprintf(stderr, "usage: make_sample OUT.jnx [--version 3]\n");
    return 2;
  }
  TPixelBuffer fine = DrawPicture(1000, 700);
  TPixelBuffer coarse(500, 350, 3);
  StretchHalftone(fine, coarse);
  std::vector<TStoredLevel> levels;
  levels.push_back(CutLevel(coarse, 4777, "Overview", 75));
  levels.push_back(CutLevel(fine, 2388, "Detail", 75));

  TJnxMap map;
  map.Version = v3 ? 3 : 4;
  map.North = DegToJnx(kNorth), map.South = DegToJnx(kSouth), map.West = DegToJnx(kWest), map.East = DegToJnx(kEast);
  map.ProductId = 7;
  map.ZOrder = v3 ? -1 : 30;
  map.BlockVersion = 9;
  map.Guid = NewGuid();
  map.ProductName = "brelo sample: Tatry";
  map.ProductId2 = 7;
  map.DetailLevel = "sample";
  for (std::size_t i = 0; i < levels.size(); ++i) {
    levels[i].Level.Zoom = static_cast<std::int32_t>(i + 1);
    map.Levels.push_back(levels[i].Level);
  }
  map.LevelCount = map.LevelCount2 = static_cast<std::int32_t>(map.Levels.size());
  RebuildSourceLocations(map);
  auto writer = [&](TFileStream& out, std::uint32_t) {
    for (const auto& l : levels)
      for (const auto& jpeg : l.Jpegs) out.Write(jpeg.data() + 2, jpeg.size() - 2);
  };
  try {
    WriteJnx(map, argv[1], -1, writer, nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
