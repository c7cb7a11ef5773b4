// SPDX-License-Identifier: GPL-3.0-or-later
// A level exported as a GIS raster and read back by GDAL: its corners, its pixels, its gaps.
#include <cmath>

#include <gtest/gtest.h>

#include "GdalFixtures.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "commands/GisExportCommand.h"
#include "jnx/JnxReader.h"
#include "uMapCreation/VolumeWriter.h"

using namespace brelo;
using namespace brelo::test;

namespace {

std::vector<std::uint8_t> Jpeg(const TPixelBuffer& pixels) {
  std::vector<std::uint8_t> out;
  EncodeJpeg(pixels, 90, false, false, out);
  return out;
}

TJnxTileEntry Box(double west, double north, double east, double south, int width, int height) {
  TJnxTileEntry e;
  e.Left = DegToJnx(west), e.Top = DegToJnx(north), e.Right = DegToJnx(east), e.Bottom = DegToJnx(south);
  e.Width = static_cast<std::int16_t>(width), e.Height = static_cast<std::int16_t>(height);
  return e;
}

// One level: two 256-pixel tiles side by side, a third below the first at half the
// resolution (128 pixels over the same span); the cell below the second is a gap.
std::string MixedMap(TTempDir& dir) {
  const double d = 0.01;  // degrees a tile
  TMapTexts texts;
  texts.ProductName = "Mixed";
  TVolumeWriter writer(dir.Path("mixed.jnx"), texts, {4777});
  writer.Add(0, Box(15, 50, 15 + d, 50 - d, 256, 256), Jpeg(TestPicture(256, 256)));
  writer.Add(0, Box(15 + d, 50, 15 + 2 * d, 50 - d, 256, 256), Jpeg(TestPicture(256, 256)));
  writer.Add(0, Box(15, 50 - d, 15 + d, 50 - 2 * d, 128, 128), Jpeg(TestPicture(128, 128)));
  writer.Finish(dir.Path("mixed.jnx"));
  return dir.Path("mixed.jnx");
}

double Psnr(const TReadRaster& r, int x0, int y0, const TPixelBuffer& want) {
  double sum = 0;
  for (int y = 0; y < want.Height; ++y)
    for (int x = 0; x < want.Width; ++x)
      for (int c = 0; c < 3; ++c) {
        const double e = double(r.At(x0 + x, y0 + y)[c]) - want.Row(y)[3 * x + c];
        sum += e * e;
      }
  const double mse = sum / (3.0 * want.Width * want.Height);
  return mse == 0 ? 999 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

// GeoTIFF with DEFLATE: corners on the level's box within half a pixel, an aligned tile's pixels
// exactly those of its decoded JPEG, the coarser tile resampled, the gap transparent.
TEST(GisExport, GeoTiffRoundTrip) {
  TTempDir dir;
  const TJnxMap map = LoadJnx(MixedMap(dir));
  const TCommandResult r = ExportGisCommand(map, 1, dir.Path("level.tif"), {}, nullptr, nullptr);
  ASSERT_TRUE(r.Ok) << r.Text << " " << r.Detail;
  ASSERT_EQ(r.Earlier.size(), 1u);  // one tile resampled
  const TReadRaster t = ReadRaster(dir.Path("level.tif"));
  ASSERT_EQ(t.Width, 512);
  ASSERT_EQ(t.Height, 512);
  ASSERT_EQ(t.Bands, 4);
  EXPECT_NE(t.Wkt.find("WGS 84"), std::string::npos);
  const double px = 0.01 / 256;
  EXPECT_NEAR(t.GeoTransform[0], 15.0, px / 2);
  EXPECT_NEAR(t.GeoTransform[3], 50.0, px / 2);
  EXPECT_NEAR(t.GeoTransform[1], px, px / 1000);
  EXPECT_NEAR(t.GeoTransform[5], -px, px / 1000);
  TJpegImage second;
  ASSERT_TRUE(DecodeTile(map, 0, 1, second));
  EXPECT_EQ(Psnr(t, 256, 0, second.Pixels()), 999);
  // The coarse tile, doubled by area averaging, stays close to its own pixels.
  TJpegImage third;
  ASSERT_TRUE(DecodeTile(map, 0, 2, third));
  TPixelBuffer twice(256, 256, 3);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      for (int c = 0; c < 3; ++c) twice.Row(y)[3 * x + c] = third.Pixels().Row(y / 2)[3 * (x / 2) + c];
  EXPECT_GT(Psnr(t, 0, 256, twice), 30);
  EXPECT_EQ(t.At(300, 300)[3], 0);    // the gap
  EXPECT_EQ(t.At(100, 100)[3], 255);  // a tile
  // An existing file is not replaced unless asked.
  const TCommandResult again = ExportGisCommand(map, 1, dir.Path("level.tif"), {}, nullptr, nullptr);
  EXPECT_FALSE(again.Ok);
  EXPECT_NE(again.Text.find("exists"), std::string::npos);
}

// JPEG-compressed GeoTIFF with overviews, a PNG with a world file and a background colour, and
// MBTiles in web Mercator; a name of no known kind is refused.
TEST(GisExport, OtherFormatsAndOptions) {
  TTempDir dir;
  const TJnxMap map = LoadJnx(MixedMap(dir));
  TGisExportOptions o;
  o.File.Compression = TRasterCompression::Jpeg;
  o.File.Overviews = true;
  ASSERT_TRUE(ExportGisCommand(map, 1, dir.Path("jpeg.tif"), o, nullptr, nullptr).Ok);
  const TReadRaster j = ReadRaster(dir.Path("jpeg.tif"));
  EXPECT_EQ(j.Width, 512);
  TJpegImage first;
  ASSERT_TRUE(DecodeTile(map, 0, 0, first));
  EXPECT_GT(Psnr(j, 0, 0, first.Pixels()), 30);

  TGisExportOptions filled;
  filled.UseBackground = true;
  filled.Background[0] = 0, filled.Background[1] = 0, filled.Background[2] = 255;
  ASSERT_TRUE(ExportGisCommand(map, 1, dir.Path("level.png"), filled, nullptr, nullptr).Ok);
  const TReadRaster p = ReadRaster(dir.Path("level.png"));
  EXPECT_NEAR(p.GeoTransform[0], 15.0, 0.01 / 512);
  EXPECT_EQ(p.At(300, 300)[2], 255);
  EXPECT_EQ(p.At(300, 300)[0], 0);

  ASSERT_TRUE(ExportGisCommand(map, 1, dir.Path("level.mbtiles"), {}, nullptr, nullptr).Ok);
  const TReadRaster m = ReadRaster(dir.Path("level.mbtiles"));
  EXPECT_EQ(m.Driver, "MBTiles");
  EXPECT_NE(m.Wkt.find("Pseudo-Mercator"), std::string::npos);
  double lon = 0, lat = 0;
  ToWgs84("EPSG:3857", m.GeoTransform[0], m.GeoTransform[3], lon, lat);
  EXPECT_LE(lon, 15.0 + 1e-6);  // the tiling's whole tiles hold the level
  EXPECT_GE(lat, 50.0 - 1e-6);

  EXPECT_FALSE(ExportGisCommand(map, 1, dir.Path("level.xyz"), {}, nullptr, nullptr).Ok);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("level.xyz")));
}

// The command line: options, the level checked, an existing file refused.
TEST(GisExport, CommandLine) {
  TTempDir dir;
  MixedMap(dir);
  TRunResult r = RunCommand(Cli("export " + dir.Path("mixed.jnx") + " 1 " + dir.Path("a.tif") + " --compress jpeg"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("a.tif saved in"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("note: 1 tiles resampled"), std::string::npos) << r.Out;
  EXPECT_EQ(RunCommand(Cli("export " + dir.Path("mixed.jnx") + " 2 " + dir.Path("b.tif"))).Status, 1);
  EXPECT_EQ(RunCommand(Cli("export " + dir.Path("mixed.jnx") + " 1 " + dir.Path("a.tif"))).Status, 1);
  EXPECT_EQ(RunCommand(Cli("export " + dir.Path("mixed.jnx") + " 1 " + dir.Path("a.tif") + " --overwrite")).Status, 0);
  EXPECT_EQ(RunCommand(Cli("export " + dir.Path("mixed.jnx") + " 1 " + dir.Path("c.tif") + " --compress lzw")).Status,
            2);
}

// A card that fills while GDAL writes what it holds at close: exit status 1 with the system's
// reason, and nothing of the export left on the card (GeoTIFF, PNG and MBTiles alike).
TEST(GisExport, FullDiskEndsWithTheSystemsReason) {
  TTempDir dir;
  const std::string card = dir.Path("card");
  std::filesystem::create_directory(card);
  if (RunCommand("mount -t tmpfs -o size=256k tmpfs " + card).Status != 0)
    GTEST_SKIP() << "a small tmpfs cannot be mounted here (not root?)";
  struct TUnmount {
    std::string Path;
    ~TUnmount() { (void)RunCommand("umount " + Path); }
  } unmount{card};
  for (const char* ext : {".tif", ".png", ".mbtiles"}) {
    const TRunResult r = RunCommand(Cli("export " + SampleFile() + " 2 " + card + "/out" + ext));
    EXPECT_EQ(r.Status, 1) << ext << ": " << r.Err;
    EXPECT_NE(r.Err.find("No space left on device"), std::string::npos) << r.Err;
    EXPECT_TRUE(std::filesystem::is_empty(card)) << ext << ": debris left on the card";
  }
}
