#include "TestSupport.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include <sys/wait.h>

#include "MyJpeg/JpegImage.h"
#include "jnx/Coordinates.h"
#include "jnx/Guid.h"
#include "jnx/JnxWriter.h"

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

std::string PeerFile(const std::string& name) { return std::string(BRELO_PEER_DIR) + "/" + name; }
std::string SampleFile() { return std::string(BRELO_SOURCE_DIR) + "/samples/tatry.jnx"; }
std::string CliPath() { return BRELO_CLI_PATH; }

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

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
    level.Scale = 2388;
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
  if (!WriteJnx(map, path, -1, writer, nullptr)) throw std::runtime_error("cannot write " + path);
}

}  // namespace brelo::test
