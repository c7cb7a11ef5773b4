// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/MapBuilder.h"

#include <cmath>

#include "MyJpeg/JpegImage.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "jnx/Guid.h"
#include "jnx/JnxMap.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"
#include "pictures/PictureReader.h"
#include "uMapCreation/Calibration.h"
#include "uMapCreation/CreatedMapWriter.h"
#include "uMapCreation/MapSource.h"

namespace brelo {

namespace {

// x and y of a tile's top-left corner from its name: the second and third "_" parts.
void PositionFromName(const std::string& name, int& x, int& y) {
  const std::vector<std::string> parts = SplitText(RemoveBlanks(WithoutExtension(name)), '_');
  long long vx = 0, vy = 0;
  if (parts.size() < 3 || !ParseInteger(parts[1], vx) || !ParseInteger(parts[2], vy) || std::llabs(vx) > INT32_MAX ||
      std::llabs(vy) > INT32_MAX)
    throw EFormatError("tile name \"" + name + "\" does not give a position");
  x = static_cast<int>(vx);
  y = static_cast<int>(vy);
}

struct TTileImage {
  std::vector<std::uint8_t> Jpeg;
  int Width = 0, Height = 0;
  bool Ok = false;
};

// Any picture file as a JPEG at quality 90: JPEG tiles are decoded and encoded anew.
TTileImage EncodeTile(const std::string& path) {
  TTileImage t;
  const std::string ext = LowerAscii(ExtensionOf(path));
  if (ext == ".jpg" || ext == ".jpeg") {
    TJpegImage image;
    image.LoadFromFile(path);
    t.Jpeg = image.SaveToBytes();
    t.Width = image.Width(), t.Height = image.Height();
  } else {
    TPixelBuffer pixels = LoadPicture(path);
    EncodeJpeg(pixels, 90, false, false, t.Jpeg);
    t.Width = pixels.Width, t.Height = pixels.Height;
  }
  t.Ok = t.Jpeg.size() > 2 && t.Width > 0 && t.Height > 0 && t.Width <= 32767 && t.Height <= 32767;
  return t;
}

void DrawLine(TPixelBuffer& b, int x0, int y0, int x1, int y1) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
  for (;;) {
    if (x0 >= 0 && y0 >= 0 && x0 < b.Width && y0 < b.Height) std::fill_n(b.Row(y0) + x0 * 3, 3, 0);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

}  // namespace

std::string WorkingFolder(const std::string& source) {
  return FileExists(ChangeExtension(source, ".set")) ? FolderOf(source) : WithoutExtension(source) + "/";
}

void PlaceholderTile(TMemoryStream& out, int width, int height) {
  TPixelBuffer b(std::max(1, width), std::max(1, height), 3);
  b.Fill(255, 255, 255);
  const int w = b.Width, h = b.Height;
  DrawLine(b, 0, 0, w - 1, 0);
  DrawLine(b, w - 1, 0, w - 1, h - 1);
  DrawLine(b, w - 1, h - 1, 0, h - 1);
  DrawLine(b, 0, h - 1, 0, 0);
  DrawLine(b, 0, 0, w - 1, h - 1);
  DrawLine(b, 0, h - 1, w - 1, 0);
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(b, 90, false, false, jpeg);
  out.Write(jpeg.data(), jpeg.size());
}

void BuildJnxFromMap(const TCreationParams& p, const std::string& D, const ProgressSink& info,
                     const TWorkMeter* meter) {
  const std::string& S = p.Source;
  const std::string mapFile = D + FileNameOf(ChangeExtension(S, ".map"));
  const std::string setFile = D + FileNameOf(ChangeExtension(S, ".set"));
  const std::string title = FileNameOf(WithoutExtension(S));

  const auto setBytes = ReadFileBytes(setFile);
  const std::vector<std::string> set = SplitLines(std::string(setBytes.begin(), setBytes.end()));
  if (set.empty()) throw EFormatError(setFile + ": no tiles listed");
  TTileImage first = EncodeTile(D + "set/" + set.front());
  if (!first.Ok) throw EFormatError(D + "set/" + set.front() + ": not a usable tile");
  int tileWidth = first.Width, tileHeight = first.Height;
  const auto mapBytes = ReadFileBytes(mapFile);
  const TPixelCalibration cal =
      TPixelCalibration::FromMapLines(SplitLines(std::string(mapBytes.begin(), mapBytes.end())));
  TCreatedMapWriter writer(ChangeExtension(S, ".jnx"), p, cal,
                           static_cast<int>(std::min<std::size_t>(set.size(), INT32_MAX)));

  struct TSource {
    std::string Path;
    int X = 0, Y = 0;
  };
  std::function<TSource(std::size_t)> produce = [&](std::size_t i) {
    if (meter) {
      meter->Advance(i, set.size());
      if (meter->Cancelled()) throw ECancelled();
    }
    if (info) info(Format("%s: Writing %zu/%zu", title.c_str(), i + 1, set.size()));
    TSource s{D + "set/" + set[i]};
    PositionFromName(set[i], s.X, s.Y);
    return s;
  };
  std::function<TTileImage(TSource&, std::size_t)> transform = [](TSource& s, std::size_t) {
    try {
      return EncodeTile(s.Path);
    } catch (const EBreloError&) {
      return TTileImage{};
    }
  };
  std::function<void(TTileImage&, std::size_t)> commit = [&](TTileImage& tile, std::size_t i) {
    if (tile.Ok) {
      tileWidth = tile.Width, tileHeight = tile.Height;
    } else {
      // A tile that does not load takes a placeholder of the last loaded tile's size.
      TMemoryStream placeholder;
      PlaceholderTile(placeholder, tileWidth, tileHeight);
      tile.Jpeg = std::move(placeholder.Data());
      tile.Width = tileWidth, tile.Height = tileHeight;
    }
    int x = 0, y = 0;
    PositionFromName(set[i], x, y);
    writer.AddTile(x, y, tile.Width, tile.Height, tile.Jpeg);
  };
  RunOrderedBatches<TSource, TTileImage>(set.size(), produce, transform, commit, PipelineThreads());
  writer.Finish();
}

}  // namespace brelo
