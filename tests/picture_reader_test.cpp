// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "MyJpeg/JpegImage.h"
#include "MyJpeg/JpegRowReader.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "pictures/PictureReader.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A bitmap file of a 40-byte header, an optional block of colour masks, a palette and the
// given pixel bytes.
std::vector<std::uint8_t> Bitmap(int width, int height, int bits, std::uint32_t compression,
                                 const std::vector<std::uint32_t>& masks, const std::vector<std::uint32_t>& palette,
                                 const std::vector<std::uint8_t>& pixels) {
  TBytes b;
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(masks.size() + palette.size());
  b.Raw({'B', 'M'})
      .I32(static_cast<std::int32_t>(offset + pixels.size()))
      .I32(0)
      .I32(static_cast<std::int32_t>(offset));
  b.I32(40)
      .I32(width)
      .I32(height)
      .I16(1)
      .I16(static_cast<std::int16_t>(bits))
      .I32(static_cast<std::int32_t>(compression));
  b.I32(static_cast<std::int32_t>(pixels.size()))
      .I32(2835)
      .I32(2835)
      .I32(static_cast<std::int32_t>(palette.size()))
      .I32(0);
  for (auto m : masks) b.I32(static_cast<std::int32_t>(m));
  for (auto c : palette) b.I32(static_cast<std::int32_t>(c));  // 0x00RRGGBB is stored B, G, R, 0
  b.Raw(pixels);
  return b.Data;
}

std::array<int, 3> Pixel(const TPixelBuffer& p, int x, int y) {
  const std::uint8_t* q = p.Row(y) + x * 3;
  return {q[0], q[1], q[2]};
}

int OpenFiles() { return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {})); }

}  // namespace

TEST(BmpReader, PaletteMaskedAndRunLengthKinds) {
  TTempDir dir;
  auto load = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteFile(dir.Path(name), bytes);
    return LoadPicture(dir.Path(name));
  };
  // 1 bit: rows padded to 32 bits, bottom-up; the top row is 1 0 1.
  TPixelBuffer one = load("1.bmp", Bitmap(3, 2, 1, 0, {}, {0x000000, 0xFF8000}, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}));
  EXPECT_EQ(Pixel(one, 0, 0), (std::array<int, 3>{255, 128, 0}));
  EXPECT_EQ(Pixel(one, 1, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(Pixel(one, 1, 1), (std::array<int, 3>{255, 128, 0}));
  // 4 bits: high nibble first.
  TPixelBuffer four = load("4.bmp", Bitmap(3, 1, 4, 0, {}, {0x000000, 0x0000FF, 0x00FF00}, {0x12, 0x00, 0, 0}));
  EXPECT_EQ(Pixel(four, 0, 0), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(Pixel(four, 1, 0), (std::array<int, 3>{0, 255, 0}));
  // 16 bits, 5-5-5 without masks and 5-6-5 with them.
  TPixelBuffer r555 = load("555.bmp", Bitmap(2, 1, 16, 0, {}, {}, {0x00, 0x7C, 0x1F, 0x00}));
  EXPECT_EQ(Pixel(r555, 0, 0), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(Pixel(r555, 1, 0), (std::array<int, 3>{0, 0, 255}));
  TPixelBuffer r565 = load("565.bmp", Bitmap(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, {0xE0, 0x07, 0x10, 0x00}));
  EXPECT_EQ(Pixel(r565, 0, 0), (std::array<int, 3>{0, 255, 0}));
  EXPECT_EQ(Pixel(r565, 1, 0), (std::array<int, 3>{0, 0, 132}));
  // 32 bits with red in the lowest byte: red must come out red.
  TPixelBuffer rgba = load("32.bmp", Bitmap(1, 1, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, {}, {200, 100, 50, 0}));
  EXPECT_EQ(Pixel(rgba, 0, 0), (std::array<int, 3>{200, 100, 50}));
  // RLE8: a run of 3, an absolute group of 3 (padded), end of line; a delta; end of picture.
  TPixelBuffer rle8 = load("rle8.bmp", Bitmap(6, 2, 8, 1, {}, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                              {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 4, 0, 2, 3, 0, 1}));
  EXPECT_EQ(Pixel(rle8, 0, 1), (std::array<int, 3>{255, 0, 0}));  // bottom row, from the file's first line
  EXPECT_EQ(Pixel(rle8, 4, 1), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(Pixel(rle8, 3, 0), (std::array<int, 3>{0, 0, 0}));  // skipped by the delta
  EXPECT_EQ(Pixel(rle8, 4, 0), (std::array<int, 3>{0, 0, 255}));
  // RLE4: a run of 5 alternating nibbles 1 and 2, then an absolute group of 3 nibbles.
  TPixelBuffer rle4 = load(
      "rle4.bmp", Bitmap(8, 1, 4, 2, {}, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {5, 0x12, 0, 3, 0x32, 0x10, 0, 1}));
  EXPECT_EQ(Pixel(rle4, 0, 0), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(Pixel(rle4, 1, 0), (std::array<int, 3>{0, 255, 0}));
  EXPECT_EQ(Pixel(rle4, 4, 0), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(Pixel(rle4, 5, 0), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(Pixel(rle4, 7, 0), (std::array<int, 3>{255, 0, 0}));
  // Damaged and unsupported files are named errors.
  EXPECT_THROW(load("cut.bmp", Bitmap(6, 2, 8, 1, {}, {0}, {0, 9, 1})), EFormatError);
  EXPECT_THROW(load("jpeg.bmp", Bitmap(1, 1, 24, 4, {}, {}, {0, 0, 0, 0})), EFormatError);
  EXPECT_THROW(load("top.bmp", Bitmap(1, -1, 8, 1, {}, {0}, {0, 1})), EFormatError);
}

// ImageMagick's own bitmaps of every kind read as ImageMagick reads them.
TEST(BmpReader, MatchesImageMagick) {
  if (!HaveTool("convert")) GTEST_SKIP() << "ImageMagick (convert) missing";
  TTempDir dir;
  WritePng(dir.Path("src.png"), TestPicture(37, 23), false);
  const std::vector<std::pair<std::string, std::string>> kinds = {
      {"mono", "-monochrome BMP3:"},
      {"p4", "-colors 16 BMP3:"},
      {"p8", "-colors 200 BMP3:"},
      {"rle8", "-colors 200 -compress RLE BMP3:"},
      {"r565", "-define bmp:subtype=RGB565 BMP:"},
      {"r555", "-define bmp:subtype=RGB555 BMP:"},
      {"argb", "-alpha on -define bmp:subtype=ARGB8888 BMP:"},
      {"rgb24", "BMP3:"}};
  for (const auto& [name, args] : kinds) {
    const std::string bmp = dir.Path(name + ".bmp");
    ASSERT_EQ(RunCommand("convert " + dir.Path("src.png") + " " + args + bmp).Status, 0) << name;
    TRunResult raw = RunCommand("convert " + bmp + " -depth 8 rgb:" + dir.Path(name + ".rgb"));
    ASSERT_EQ(raw.Status, 0) << raw.Err;
    const auto expected = ReadFile(dir.Path(name + ".rgb"));
    TPixelBuffer ours;
    ASSERT_NO_THROW(ours = LoadPicture(bmp)) << name;
    ASSERT_EQ(ours.Data.size(), expected.size()) << name;
    int worst = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
      worst = std::max(worst, std::abs(int(ours.Data[i]) - expected[i]));
    EXPECT_LE(worst, 4) << name;  // 5- and 6-bit channels may be scaled with other rounding
  }
}

TEST(JpegRowReader, ProgressiveBuffersCountAgainstTheLimit) {
  TTempDir dir;
  TJpegImage image;
  image.WriteProgressive = true;
  image.Assign(TestPicture(16, 16));
  auto jpeg = image.SaveToBytes();
  // Declared sizes in the frame header: at 20000 x 20000 pixels the decoder would keep about
  // 1.2 GB of coefficients for a file of a few hundred bytes.
  auto declare = [&](const std::string& name, int side) {
    auto bytes = jpeg;
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i)
      if (bytes[i] == 0xFF && bytes[i + 1] == 0xC2) {
        bytes[i + 5] = bytes[i + 7] = static_cast<std::uint8_t>(side >> 8);
        bytes[i + 6] = bytes[i + 8] = static_cast<std::uint8_t>(side & 255);
        break;
      }
    WriteFile(dir.Path(name), bytes);
  };
  declare("huge.jpg", 20000);
  declare("small.jpg", 1000);
  try {
    TJpegRowReader reader(dir.Path("huge.jpg"), 256u << 20);
    ADD_FAILURE() << "no error";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("a progressive JPEG of 20000 x 20000 pixels needs 1"), std::string::npos)
        << e.what();
  }
  const int h[3] = {2, 1, 1}, v[3] = {2, 1, 1};
  EXPECT_EQ(WholePictureDecoderBytes(16, 16, true, 3, h, v), (4u + 1 + 1) * 128);
  EXPECT_EQ(WholePictureDecoderBytes(16, 16, false, 3, h, v), 0u);
  EXPECT_NO_THROW(TJpegRowReader(dir.Path("small.jpg"), 256u << 20));  // 3 MB of coefficients fit
}

TEST(JpegRowReader, EveryPathClosesTheFile) {
  TTempDir dir;
  WriteText(dir.Path("bad.jpg"), "\xFF\xD8not a JPEG at all");
  const int before = OpenFiles();
  for (int i = 0; i < 50; ++i) EXPECT_THROW(TJpegRowReader reader(dir.Path("bad.jpg")), EJPEG);
  EXPECT_EQ(OpenFiles(), before);
}
