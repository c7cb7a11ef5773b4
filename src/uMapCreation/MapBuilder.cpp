#include "uMapCreation/MapBuilder.h"

#include <cmath>

#include "MyJpeg/JpegImage.h"
#include "gpx/GpxScanner.h"
#include "jnx/Coordinates.h"
#include "jnx/Errors.h"
#include "jnx/Guid.h"
#include "jnx/JnxMap.h"
#include "jnx/JnxWriter.h"
#include "jnx/Paths.h"
#include "jnx/Pipeline.h"
#include "jnx/SafeFile.h"
#include "jnx/ScaleTable.h"
#include "jnx/StreamHelpers.h"
#include "jnx/Text.h"
#include "uMapCreation/MapSource.h"
#include "uMapCreation/PictureReader.h"

namespace brelo {

namespace {

std::vector<std::string> Fields(const std::string& line) { return SplitText(RemoveBlanks(line), ','); }

int FieldInt(const std::vector<std::string>& f, std::size_t i) {
  long long v = 0;
  const std::string text = i < f.size() ? f[i] : std::string();
  if (!ParseInteger(text, v) || v < INT32_MIN || v > INT32_MAX)
    throw EFormatError("'" + text + "' is not a valid integer value");
  return static_cast<int>(v);
}

double FieldNumber(const std::vector<std::string>& f, std::size_t i) {
  return ParseGpxNumber(i < f.size() ? f[i] : std::string());
}

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
  // An archive is always built from what it unpacked, whatever lies beside it.
  if (LowerAscii(ExtensionOf(source)) == ".tar") return UnpackFolder(source);
  return FileExists(ChangeExtension(source, ".set")) ? FolderOf(source) : WithoutExtension(source) + "/";
}

std::string UnpackFolder(const std::string& archive) { return WithoutExtension(archive) + "/"; }

TPixelCalibration TPixelCalibration::FromMapLines(const std::vector<std::string>& lines) {
  TPixelCalibration c;
  for (const auto& line : lines) {
    const auto f = Fields(line);
    if (f.size() < 2 && !(f.size() >= 1 && f[0] == "IWH")) continue;
    if (f[0] == "MMPXY" && f[1] == "1") c.X1 = FieldInt(f, 2), c.Y1 = FieldInt(f, 3);
    if (f[0] == "MMPXY" && f[1] == "3") c.X3 = FieldInt(f, 2), c.Y3 = FieldInt(f, 3);
    if (f[0] == "MMPLL" && f[1] == "1") c.Lon1 = DegToJnx(FieldNumber(f, 2)), c.Lat1 = DegToJnx(FieldNumber(f, 3));
    if (f[0] == "MMPLL" && f[1] == "3") c.Lon3 = DegToJnx(FieldNumber(f, 2)), c.Lat3 = DegToJnx(FieldNumber(f, 3));
    if (f[0] == "IWH") c.ImageWidth = FieldInt(f, 2), c.ImageHeight = FieldInt(f, 3);
  }
  // Spans in 64 bits: the fields may hold any 32-bit value.
  const std::int64_t dx = std::int64_t(c.X3) - c.X1, dy = std::int64_t(c.Y3) - c.Y1;
  if (dx > INT32_MAX || dx < -INT32_MAX || dy > INT32_MAX || dy < -INT32_MAX)
    throw EFormatError(Format("MMPXY,1 and MMPXY,3: a span of %lld x %lld pixels does not fit", static_cast<long long>(dx),
                              static_cast<long long>(dy)));
  // A calibration without extent in one direction gives no pixel size.
  if (dx == 0) throw EFormatError("MMPXY,1 and MMPXY,3 lie in one pixel column: the calibration gives no pixel width");
  if (dy == 0) throw EFormatError("MMPXY,1 and MMPXY,3 lie in one pixel row: the calibration gives no pixel height");
  if (c.Lon1 == c.Lon3) throw EFormatError("MMPLL,1 and MMPLL,3 have one longitude: the calibration gives no pixel width");
  if (c.Lat1 == c.Lat3) throw EFormatError("MMPLL,1 and MMPLL,3 have one latitude: the calibration gives no pixel height");
  return c;
}

void TPixelCalibration::PixelToJnx(std::int64_t x, std::int64_t y, std::int32_t& lat, std::int32_t& lon) const {
  const double kx = (double(X3) - double(X1)) / (double(Lon3) - double(Lon1));
  const double ky = (double(Y3) - double(Y1)) / (double(Lat1) - double(Lat3));
  lon = RoundToInt32(static_cast<long double>(double(x) / kx + Lon1));
  lat = RoundToInt32(static_cast<long double>(Lat1 - double(y) / ky));
}

std::uint64_t WriteCreatedHeader(TStream& out, std::int32_t productId, const std::string& productName,
                                 std::int32_t zOrder, std::int32_t north, std::int32_t east, std::int32_t south,
                                 std::int32_t west, std::int32_t tileCount, const std::string& scaleName,
                                 const std::string& detailLevel, const std::string& levelName,
                                 const std::string& levelDescription, const std::string& levelCopyright) {
  TJnxMap m;
  m.Version = 4;
  m.North = north, m.East = east, m.South = south, m.West = west;
  m.LevelCount = m.LevelCount2 = 1;
  m.ProductId = productId;
  m.ZOrder = zOrder;
  m.BlockVersion = 9;
  m.Guid = NewGuid();
  m.ProductName = productName;
  m.ProductId2 = static_cast<std::int16_t>(static_cast<std::uint16_t>(productId & 0xFFFF));
  m.DetailLevel = detailLevel;
  TJnxLevel level;
  level.TileCount = tileCount;
  level.Scale = static_cast<std::uint32_t>(ScaleValue(scaleName));
  level.LevelUnknown = 2;
  level.LevelCopyright = level.Copyright = levelCopyright;
  level.Name = levelName;
  level.Description = levelDescription;
  level.Zoom = 1;
  m.Levels.push_back(std::move(level));
  const std::uint64_t start = out.Position();
  WriteHeaderRegion(out, m);
  const std::vector<std::uint8_t> gap(kHeaderGap, 0);
  out.Write(gap.data(), gap.size());
  return start + kFirstTilesOffsetField;
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

bool BuildJnxFromMap(const TCreationParams& p, bool folderCreated, const TCreationSinks& sinks, std::string* error) {
  const std::string& S = p.Source;
  const std::string D = WorkingFolder(S);
  const std::string mapFile = D + FileNameOf(ChangeExtension(S, ".map"));
  const std::string setFile = D + FileNameOf(ChangeExtension(S, ".set"));
  const std::string title = FileNameOf(WithoutExtension(S));
  bool ok = true;
  try {
    if (ScaleValue(p.ScaleName) < 0) throw EFormatError("unknown eTrex scale name \"" + p.ScaleName + "\"");
    TSafeFile file(ChangeExtension(S, ".jnx"));
    TFileStream& out = file.Stream();
    const auto setBytes = ReadFileBytes(setFile);
    const std::vector<std::string> set = SplitLines(std::string(setBytes.begin(), setBytes.end()));
    if (set.empty()) throw EFormatError(setFile + ": no tiles listed");
    TTileImage first = EncodeTile(D + "set/" + set.front());
    if (!first.Ok) throw EFormatError(D + "set/" + set.front() + ": not a usable tile");
    int tileWidth = first.Width, tileHeight = first.Height;

    auto mapBytes = ReadFileBytes(mapFile);
    const TPixelCalibration cal = TPixelCalibration::FromMapLines(SplitLines(std::string(mapBytes.begin(), mapBytes.end())));
    std::int32_t south, east;
    cal.PixelToJnx(cal.ImageWidth, cal.ImageHeight, south, east);
    const std::int32_t count = static_cast<std::int32_t>(set.size());
    const std::uint64_t offsetField = WriteCreatedHeader(out, p.ProductId, p.ProductName, p.ZOrder, cal.Lat1, east,
                                                         south, cal.Lon1, count, p.ScaleName, p.DetailLevel,
                                                         p.LevelName, p.LevelDescription, p.LevelCopyright);
    const std::uint64_t tableStart = out.Position();
    std::uint64_t dataPosition = tableStart + std::uint64_t(count) * kTileEntrySize;
    if (dataPosition > 0xFFFFFFFFull) throw EFormatError(S + ": too many tiles");
    TJnxMap tables;  // the tile entries, written once the data is
    tables.Levels.resize(1);
    tables.Levels[0].Tiles.resize(set.size());
    const std::vector<std::uint8_t> room(static_cast<std::size_t>(count) * kTileEntrySize, 0);
    out.Write(room.data(), room.size());

    struct TSource {
      std::string Path;
      int X = 0, Y = 0;
    };
    std::function<TSource(std::size_t)> produce = [&](std::size_t i) {
      if (sinks.Info) sinks.Info(Format("%s: Writing %zu/%zu", title.c_str(), i + 1, set.size()));
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
      TJnxTile& t = tables.Levels[0].Tiles[i];
      cal.PixelToJnx(x, y, t.Top, t.Left);
      cal.PixelToJnx(std::int64_t(x) + tile.Width, std::int64_t(y) + tile.Height, t.Bottom, t.Right);
      t.Width = static_cast<std::int16_t>(tile.Width);
      t.Height = static_cast<std::int16_t>(tile.Height);
      t.ImageSize = static_cast<std::int32_t>(tile.Jpeg.size() - 2);
      if (dataPosition + tile.Jpeg.size() > 0xFFFFFFFFull) throw EFormatError(S + ": the map would exceed 4 GiB");
      t.ImageOffset = static_cast<std::uint32_t>(dataPosition);
      out.Write(tile.Jpeg.data() + 2, tile.Jpeg.size() - 2);
      dataPosition += tile.Jpeg.size() - 2;
    };
    RunOrderedBatches<TSource, TTileImage>(set.size(), produce, transform, commit, PipelineThreads());
    out.Write(kTrailer, kTrailerSize);
    out.Seek(tableStart);
    WriteTileTables(out, tables);
    out.Seek(offsetField);
    WriteInt32(out, static_cast<std::int32_t>(tableStart));
    file.Commit();
  } catch (const std::exception& e) {
    ok = false;
    if (error) *error = e.what();
    if (sinks.ShowError) sinks.ShowError("Błąd tworzenia mapy z\n\n" + S);
  }
  // Only the folder that unpacking the archive made goes; never one that existed before.
  if (folderCreated && D == UnpackFolder(S)) DeleteFolderTree(D);
  return ok;
}

}  // namespace brelo
