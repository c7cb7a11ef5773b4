// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests: raw byte builders and temporary folders.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "MyJpeg/PixelBuffer.h"
#include "jnx/JnxMap.h"

namespace brelo::test {

// Little-endian byte builder for hand-made files.
struct TBytes {
  std::vector<std::uint8_t> Data;
  TBytes& I32(std::int32_t v) {
    for (int i = 0; i < 4; ++i) Data.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    return *this;
  }
  TBytes& I16(std::int16_t v) {
    Data.push_back(static_cast<std::uint8_t>(v));
    Data.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
    return *this;
  }
  TBytes& Str(const std::string& s) {
    Data.insert(Data.end(), s.begin(), s.end());
    Data.push_back(0);
    return *this;
  }
  TBytes& Raw(const std::vector<std::uint8_t>& b) {
    Data.insert(Data.end(), b.begin(), b.end());
    return *this;
  }
  TBytes& Zeros(std::size_t n) {
    Data.insert(Data.end(), n, 0);
    return *this;
  }
  std::size_t Size() const { return Data.size(); }
  void PatchI32(std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) Data[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
  }
};

// A fresh folder under the system's temporary folder, removed with the object.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  std::string Path(const std::string& name = "") const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

// A file written by another program: made by the peer tool in the test step, else from the
// shared peer-files folder; "" when neither has it.
std::string FindPeerFile(const std::string& name);
// Declares var as the peer file's path, or skips the test naming what is missing.
#define REQUIRE_PEER_FILE(var, name)                                         \
  const std::string var = ::brelo::test::FindPeerFile(name);                 \
  if (var.empty())                                                           \
  GTEST_SKIP() << "peer file " << (name)                                     \
               << " is missing: qmt_map2jnx (qmapshack) and gdal_translate " \
                  "(gdal-bin) make it in the test step"
std::string SampleFile();                                // the bundled sample map
std::string CliPath();                                   // the brelo-cli executable
[[nodiscard]] std::string Cli(const std::string& args);  // its command line with args
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
std::vector<std::uint8_t> ReadFile(const std::string& path);
std::string ReadText(const std::string& path);

struct TRunResult {
  int Status = -1;
  std::string Out, Err;
};
// Runs a shell command line, capturing stdout and stderr.
TRunResult RunCommand(const std::string& commandLine);
bool HaveTool(const std::string& name);

// A detailed load of a JNX file as the current map.
TJnxMap LoadJnx(const std::string& path);

// A JNX file written by the program's writer: one level per entry of tileCounts, each tile
// an 8 x 8 JPEG with distinct bytes, tiles on a grid of 0.01 degrees from 50 N, 10 E.
void MakeTestJnx(const std::string& path, const std::vector<int>& tileCounts, int version = 4,
                 const std::string& productName = "Test map");

// Picture files for map creation: a gradient with a mark at each tile corner. Palette PNGs use
// 16 colours; bmpBits is 8, 24 or 32.
TPixelBuffer TestPicture(int width, int height);
void WritePng(const std::string& path, const TPixelBuffer& rgb, bool palette);
void WriteBmp(const std::string& path, const TPixelBuffer& rgb, int bits);
// An OziExplorer map file of a picture: four corners, image file name on line 3.
void WriteOziMap(const std::string& path, const std::string& image, int width, int height, double west, double north,
                 double east, double south);

// A version-3 file of two levels (1 and 2 tiles of the given JPEG) laid out by hand, with
// SignatureOffset sigOffset and, when asked, a 788-byte signature block after the level table.
TBytes Version3File(std::uint32_t sigOffset, bool withSignatureBlock, const std::vector<std::uint8_t>& jpeg);

// A small colour JPEG of the given size (a gradient), for tile data.
std::vector<std::uint8_t> MakeJpeg(int width, int height, int seed = 0);

}  // namespace brelo::test
