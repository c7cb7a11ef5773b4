// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <png.h>
#include <sys/wait.h>

#include "MyJpeg/JpegImage.h"
#include "base/Coordinates.h"
#include "base/Text.h"
#include "jnx/Guid.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"

namespace brelo::test {

TTempDir::TTempDir() {
  std::random_device rd;
  root_ = std::filesystem::temp_directory_path() / ("brelo-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(root_);
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::string FindPeerFile(const std::string& name) {
  for (const std::string folder : {BRELO_PEER_BUILD_DIR, BRELO_PEER_DIR}) {
    const std::string path = folder + "/" + name;
    if (std::filesystem::is_regular_file(path)) return path;
  }
  return "";
}
std::string SampleFile() { return std::string(BRELO_SOURCE_DIR) + "/samples/tatry.jnx"; }
std::string CliPath() { return BRELO_CLI_PATH; }

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Cli(const std::string& args) { return CliPath() + " " + args; }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TRunResult RunCommand(const std::string& commandLine) {
  TTempDir dir;
  std::string out = dir.Path("out"), err = dir.Path("err");
  int raw = std::system((commandLine + " >" + out + " 2>" + err + " </dev/null").c_str());
  TRunResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadText(out);
  r.Err = ReadText(err);
  return r;
}

bool HaveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

std::vector<std::uint8_t> MakeJpeg(int width, int height, int seed) {
  TPixelBuffer pixels(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = pixels.Row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
      p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = static_cast<std::uint8_t>(seed * 37);
    }
  std::vector<std::uint8_t> out;
  EncodeJpeg(pixels, 85, false, false, out);
  return out;
}

TJnxMap LoadJnx(const std::string& path) {
  TJnxMap m;
  m.CurrentFile = path;
  ReadJnx(m, path, true);
  return m;
}

void MakeTestJnx(const std::string& path, const std::vector<int>& tileCounts, int version,
                 const std::string& productName) {
  TJnxMap map;
  map.Version = version;
  map.ZOrder = version == 4 ? 30 : -1;
  map.BlockVersion = 9;
  map.Guid = NewGuid();
  map.ProductName = productName;
  map.DetailLevel = "detail";
  const std::int32_t step = DegToJnx(0.01);
  map.North = DegToJnx(50), map.West = DegToJnx(10);
  std::vector<std::vector<std::uint8_t>> jpegs;
  std::int32_t maxSide = 1;
  for (std::size_t l = 0; l < tileCounts.size(); ++l) {
    TJnxLevel level;
    // Distinct scales, as receivers want them: 800m for the last, coarser ones before it.
    level.Scale = ScaleTable[11 + tileCounts.size() - 1 - l].Value;
    level.Name = "Level " + std::to_string(l + 1);
    level.Description = "Description " + std::to_string(l + 1);
    level.Copyright = level.LevelCopyright = version == 4 ? "Copyright" : "";
    level.Zoom = static_cast<std::int32_t>(l + 1);
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(tileCounts[l]))));
    maxSide = std::max(maxSide, side);
    for (int i = 0; i < tileCounts[l]; ++i) {
      jpegs.push_back(MakeJpeg(8, 8, static_cast<int>(jpegs.size())));
      TJnxTile t;
      t.Left = map.West + step * (i % side), t.Right = t.Left + step;
      t.Top = map.North - step * (i / side), t.Bottom = t.Top - step;
      t.Width = t.Height = 8;
      t.ImageSize = static_cast<std::int32_t>(jpegs.back().size() - 2);
      level.Tiles.push_back(t);
    }
    level.TileCount = tileCounts[l];
    map.Levels.push_back(std::move(level));
  }
  map.South = map.North - step * maxSide, map.East = map.West + step * maxSide;
  map.LevelCount = map.LevelCount2 = static_cast<std::int32_t>(map.Levels.size());
  RebuildSourceLocations(map);
  auto writer = [&](TFileStream& out, std::uint32_t) {
    for (const auto& j : jpegs) out.Write(j.data() + 2, j.size() - 2);
  };
  WriteJnx(map, path, -1, writer, nullptr);
}

TPixelBuffer TestPicture(int width, int height) {
  TPixelBuffer p(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* q = p.Row(y) + x * 3;
      q[0] = static_cast<std::uint8_t>((x / 64) * 40 % 256);
      q[1] = static_cast<std::uint8_t>((y / 64) * 40 % 256);
      q[2] = static_cast<std::uint8_t>(((x / 32 + y / 32) % 2) * 200);
    }
  return p;
}

void WritePng(const std::string& path, const TPixelBuffer& rgb, bool palette) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.Width), static_cast<png_uint_32>(rgb.Height), 8,
               palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colours(16);
  for (int i = 0; i < 16; ++i)
    colours[static_cast<std::size_t>(i)] = {static_cast<png_byte>(i * 16), static_cast<png_byte>(255 - i * 16),
                                            static_cast<png_byte>((i % 4) * 60)};
  if (palette) png_set_PLTE(png, info, colours.data(), 16);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rgb.Width));
  for (int y = 0; y < rgb.Height; ++y) {
    if (palette) {
      for (int x = 0; x < rgb.Width; ++x)
        row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((x / 32 + y / 32) % 16);
      png_write_row(png, row.data());
    } else {
      png_write_row(png, const_cast<png_bytep>(rgb.Row(y)));
    }
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

void WriteBmp(const std::string& path, const TPixelBuffer& rgb, int bits) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(rgb.Width) * bits / 8 + 3) / 4 * 4;
  const std::uint32_t paletteSize = bits == 8 ? 1024 : 0;
  const std::uint32_t offset = 54 + paletteSize;
  std::vector<std::uint8_t> b(offset + stride * static_cast<std::uint32_t>(rgb.Height), 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B', b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(rgb.Width));
  put32(22, static_cast<std::uint32_t>(rgb.Height));  // bottom-up
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  if (bits == 8)
    for (int i = 0; i < 256; ++i) b[54 + i * 4] = b[54 + i * 4 + 1] = b[54 + i * 4 + 2] = static_cast<std::uint8_t>(i);
  for (int y = 0; y < rgb.Height; ++y) {
    std::uint8_t* row = b.data() + offset + stride * static_cast<std::uint32_t>(rgb.Height - 1 - y);
    for (int x = 0; x < rgb.Width; ++x) {
      const std::uint8_t* p = rgb.Row(y) + x * 3;
      if (bits == 8) {
        row[x] = p[0];
      } else {
        std::uint8_t* q = row + x * (bits / 8);
        q[0] = p[2], q[1] = p[1], q[2] = p[0];
      }
    }
  }
  WriteFile(path, b);
}

void WriteOziMap(const std::string& path, const std::string& image, int width, int height, double west, double north,
                 double east, double south) {
  std::string t = "OziExplorer Map Data File Version 2.2\r\n" + std::string("test map\r\n") + image +
                  "\r\n1,Map Code,\r\nWGS 84,WGS 84,0,0,WGS 84\r\nMap Projection,Latitude/Longitude\r\n";
  const int xs[4] = {0, width, width, 0}, ys[4] = {0, 0, height, height};
  const double lons[4] = {west, east, east, west}, lats[4] = {north, north, south, south};
  t += "MMPNUM,4\r\n";
  for (int k = 0; k < 4; ++k) t += Format("MMPXY,%d,%d,%d\r\n", k + 1, xs[k], ys[k]);
  for (int k = 0; k < 4; ++k) t += Format("MMPLL,%d,%.6f,%.6f\r\n", k + 1, lons[k], lats[k]);
  t += Format("IWH,Map Image Width/Height,%d,%d\r\n", width, height);
  WriteText(path, t);
}

// A version-3 file of two levels (1 and 2 tiles) laid out by hand; signature at sigOffset.
TBytes Version3File(std::uint32_t sigOffset, bool withSignatureBlock, const std::vector<std::uint8_t>& jpeg) {
  TBytes b;
  b.I32(3).I32(0x1234).I32(1000).I32(2000).I32(-1000).I32(-2000).I32(2).I32(5).I32(77).I32(0x7EADBEEF).I32(1);
  b.I32(static_cast<std::int32_t>(sigOffset));
  const std::size_t levelTable = b.Size();
  b.I32(1).I32(0).I32(4777);
  b.I32(2).I32(0).I32(2388);
  if (withSignatureBlock) b.Zeros(788);
  b.I32(9).Str("abcdef01-2345-6789-abcd-ef0123456789").Str(" Map ").Str("u").I16(-5).Str("detail").I32(2);
  b.Str("L1").Str("D1").Str("C1").I32(1);
  b.Str("L2").Str("D2").Str("C2").I32(2);
  b.Zeros(16);
  const std::int32_t tables = static_cast<std::int32_t>(b.Size());
  b.PatchI32(levelTable + 4, tables);
  b.PatchI32(levelTable + 16, tables + 28);
  const std::int32_t data = tables + 3 * 28;
  for (int i = 0; i < 3; ++i)
    b.I32(100 - i)
        .I32(200 + i)
        .I32(50 - i)
        .I32(150 + i)
        .I16(8)
        .I16(8)
        .I32(static_cast<std::int32_t>(jpeg.size() - 2))
        .I32(data + i * static_cast<std::int32_t>(jpeg.size() - 2));
  for (int i = 0; i < 3; ++i) b.Raw({jpeg.begin() + 2, jpeg.end()});
  b.Raw({'B', 'i', 'r', 'd', 's', 'E', 'y', 'e'});
  return b;
}

}  // namespace brelo::test
