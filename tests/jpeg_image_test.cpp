// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "TestSupport.h"

using namespace brelo;
using namespace brelo::test;

namespace {
// Position of the first marker FF m, or -1.
long FindMarker(const std::vector<std::uint8_t>& bytes, std::uint8_t m) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == m) return static_cast<long>(i);
  return -1;
}
}  // namespace

TEST(JpegImage, LoadReadsHeaderOnlyAndScaledDecodeRoundsUp) {
  for (auto [size, scale, expected] : std::vector<std::tuple<int, TDecodeScale, int>>{{256, TDecodeScale::Eighth, 32},
                                                                                      {250, TDecodeScale::Eighth, 32},
                                                                                      {250, TDecodeScale::Quarter, 63},
                                                                                      {255, TDecodeScale::Half, 128},
                                                                                      {7, TDecodeScale::Full, 7}}) {
    TJpegImage image;
    image.DecodeScale = scale;
    image.LoadFromBytes(MakeJpeg(size, size));
    EXPECT_FALSE(image.IsDecoded());
    EXPECT_EQ(image.Width(), size);  // the header's size until decoded
    image.Decode();
    EXPECT_EQ(image.Width(), expected) << size;
    EXPECT_EQ(image.Height(), expected);
    EXPECT_EQ(ScaledSize(size, scale), expected);
  }
}

TEST(JpegImage, SaveReencodesAtQuality90) {
  auto original = MakeJpeg(64, 48);
  TJpegImage image;
  image.LoadFromBytes(original);
  auto saved = image.SaveToBytes();
  EXPECT_NE(saved, original);
  TJpegImage reread;
  reread.LoadFromBytes(saved);
  EXPECT_EQ(reread.Width(), 64);
  EXPECT_EQ(reread.Height(), 48);
  EXPECT_FALSE(reread.WriteProgressive);
  // Quality 90 luminance table: the first entry of the standard table (16) scaled to 3.
  ASSERT_GT(saved.size(), 30u);
  long dqt = FindMarker(saved, 0xDB);
  ASSERT_GE(dqt, 0);
  EXPECT_EQ(saved[static_cast<std::size_t>(dqt) + 5], 3);
}

TEST(JpegImage, AssignedBitmapSavesAsBaselineColour) {
  TPixelBuffer pixels(10, 6, 3);
  pixels.Fill(10, 200, 30);
  TJpegImage image;
  image.Assign(pixels);
  EXPECT_TRUE(image.IsDecoded());
  auto bytes = image.SaveToBytes();
  TJpegImage back;
  back.LoadFromBytes(bytes);
  EXPECT_FALSE(back.GrayOutput);
  const auto& p = back.Pixels();
  ASSERT_EQ(p.Channels, 3);
  EXPECT_NEAR(p.Row(3)[15], 10, 6);
  EXPECT_NEAR(p.Row(3)[16], 200, 6);
  // Baseline: a SOF0 marker.
  EXPECT_GE(FindMarker(bytes, 0xC0), 0);
}

TEST(JpegImage, GrayscaleAndProgressiveAreKept) {
  TPixelBuffer gray(16, 16, 1);
  gray.Fill(128, 0, 0);
  std::vector<std::uint8_t> bytes;
  EncodeJpeg(gray, 90, false, true, bytes);
  TJpegImage image;
  image.LoadFromBytes(bytes);
  EXPECT_TRUE(image.GrayOutput);
  EXPECT_TRUE(image.WriteProgressive);
  EXPECT_EQ(image.Pixels().Channels, 1);
  TJpegImage again;
  again.LoadFromBytes(image.SaveToBytes());
  EXPECT_TRUE(again.GrayOutput);
  EXPECT_TRUE(again.WriteProgressive);
}

TEST(JpegImage, CorruptDataRaisesEJPEG) {
  TJpegImage image;
  try {
    image.LoadFromBytes({0xFF, 0xD8, 0x00, 0x01, 0x02});
    FAIL();
  } catch (const EJPEG& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(e.Code));
  }
  EXPECT_EQ(image.Width(), -1);
  EXPECT_THROW(image.LoadFromBytes({}), EJPEG);
  // A valid header whose scan data is cut off still decodes (libjpeg pads with gray).
  auto jpeg = MakeJpeg(256, 256);
  jpeg.resize(jpeg.size() - 200);
  TJpegImage cut;
  cut.LoadFromBytes(jpeg);
  EXPECT_NO_THROW(cut.Decode());
}

TEST(StretchHalftone, AreaAveraging) {
  TPixelBuffer src(2, 2, 3);
  const std::uint8_t values[] = {0, 100, 200, 60};
  for (int i = 0; i < 4; ++i) src.Data[i * 3] = src.Data[i * 3 + 1] = src.Data[i * 3 + 2] = values[i];
  TPixelBuffer one(1, 1, 3);
  StretchHalftone(src, one);
  EXPECT_EQ(one.Data[0], 90);  // the mean of the four
  TPixelBuffer same(2, 2, 3);
  StretchHalftone(src, same);
  EXPECT_EQ(same.Data, src.Data);
  // 3 -> 2: the middle source pixel is split between both destination pixels.
  TPixelBuffer row(3, 1, 1);
  row.Data = {0, 90, 180};
  TPixelBuffer two(2, 1, 1);
  StretchHalftone(row, two);
  EXPECT_EQ(two.Data[0], 30);
  EXPECT_EQ(two.Data[1], 150);
  // Upscaling a flat picture keeps it flat.
  TPixelBuffer flat(3, 3, 3);
  flat.Fill(77, 77, 77);
  TPixelBuffer big(7, 5, 3);
  StretchHalftone(flat, big);
  for (auto v : big.Data) EXPECT_EQ(v, 77);
}

// Area averaging in doubles: the coverage-weighted mean of the source under each pixel.
std::vector<double> ReferenceStretch(const TPixelBuffer& src, int dw, int dh) {
  std::vector<double> out(static_cast<std::size_t>(dw) * dh * src.Channels);
  auto cover = [](int d, int dstSize, int srcSize, int s) {
    const double a = double(d) * srcSize / dstSize, b = double(d + 1) * srcSize / dstSize;
    return std::max(0.0, std::min(b, s + 1.0) - std::max(a, double(s))) / (b - a);
  };
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x)
      for (int sy = 0; sy < src.Height; ++sy) {
        const double wy = cover(y, dh, src.Height, sy);
        if (wy == 0) continue;
        for (int sx = 0; sx < src.Width; ++sx) {
          const double w = wy * cover(x, dw, src.Width, sx);
          for (int c = 0; c < src.Channels; ++c)
            out[(static_cast<std::size_t>(y) * dw + x) * src.Channels + c] += w * src.Row(sy)[sx * src.Channels + c];
        }
      }
  return out;
}

// Every route (bytes or sums first, vector or scalar runs, gray or colour, a window) stays
// within one level of exact area averaging, and a window equals the part of the whole.
TEST(StretchHalftone, MatchesExactAreaAveragingOnEveryRoute) {
  for (int channels : {3, 1}) {
    TPixelBuffer src(97, 61, channels);
    for (std::size_t i = 0; i < src.Data.size(); ++i) src.Data[i] = static_cast<std::uint8_t>((i * 37) ^ (i >> 5));
    for (auto [dw, dh] : std::vector<std::array<int, 2>>{{63, 61}, {40, 30}, {97, 20}, {11, 7}, {150, 90}, {30, 200}}) {
      TPixelBuffer dst(dw, dh, channels);
      StretchHalftone(src, dst);
      const std::vector<double> ref = ReferenceStretch(src, dw, dh);
      int worst = 0;
      for (std::size_t i = 0; i < ref.size(); ++i)
        worst = std::max(worst, std::abs(int(dst.Data[i]) - int(std::lround(ref[i]))));
      EXPECT_LE(worst, 1) << channels << " channels onto " << dw << "x" << dh;
      TPixelBuffer window(dw / 2, dh / 3, channels);
      StretchHalftoneWindow(src, dw, dh, dw / 4, dh / 3, window);
      for (int y = 0; y < window.Height; ++y)
        EXPECT_TRUE(
            std::equal(window.Row(y), window.Row(y) + window.Stride(), dst.Row(y + dh / 3) + (dw / 4) * channels))
            << "window row " << y << " onto " << dw << "x" << dh;
    }
  }
}

TEST(JpegImage, CopiesAndInterleavedLoadsDecodeTheirOwnData) {
  auto a = MakeJpeg(40, 30, 1), b = MakeJpeg(20, 10, 2);
  TJpegImage first, second;
  first.LoadFromBytes(a);
  TJpegImage copy = first;  // same load, another buffer
  second.LoadFromBytes(b);  // another header read in between
  EXPECT_EQ(first.Pixels().Width, 40);
  EXPECT_EQ(second.Pixels().Width, 20);
  first = TJpegImage();
  EXPECT_EQ(copy.Pixels().Height, 30);
}
