#include "MyJpeg/StretchHalftone.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace brelo {

namespace {

// For each destination index, the run of source indices it covers and their coverage weights
// in 16.16 fixed point, summing to 65536; flattened for the inner loops.
struct TContributions {
  std::vector<int> First, Count, Offset;
  std::vector<std::uint32_t> Weights;
};

// Destination indices [from, from + count) of a destination dstSize long.
TContributions Contributions(int srcSize, int dstSize, int from, int count) {
  TContributions c;
  c.First.resize(static_cast<std::size_t>(count));
  c.Count.resize(static_cast<std::size_t>(count));
  c.Offset.resize(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    const int d = from + k;
    // The source interval [a, b) in units of 1 / dstSize source pixels.
    const std::int64_t a = std::int64_t(d) * srcSize, b = std::int64_t(d + 1) * srcSize;
    const int first = static_cast<int>(a / dstSize), last = static_cast<int>((b - 1) / dstSize);
    c.First[static_cast<std::size_t>(k)] = first;
    c.Count[static_cast<std::size_t>(k)] = last - first + 1;
    c.Offset[static_cast<std::size_t>(k)] = static_cast<int>(c.Weights.size());
    std::uint32_t total = 0;
    for (int s = first; s <= last; ++s) {
      const std::int64_t lo = std::max(a, std::int64_t(s) * dstSize), hi = std::min(b, std::int64_t(s + 1) * dstSize);
      const auto w = static_cast<std::uint32_t>(((hi - lo) << 16) / srcSize);
      c.Weights.push_back(w);
      total += w;
    }
    c.Weights.back() += 65536 - total;  // the rounding remainder
  }
  return c;
}

// Resamples a source of srcWidth x srcHeight pixels given row by row onto a destination of
// dstWidth x dstHeight, of which dst receives the window at (x0, y0). Source rows with the
// same key are equal, so their horizontal pass is done once: keys run from 0 to keyCount - 1,
// rowOf(key) gives the row's pixels and keyOf(y) the key of row y.
template <class RowOf, class KeyOf>
void StretchRows(int srcWidth, int srcHeight, int keyCount, const RowOf& rowOf, const KeyOf& keyOf, int dstWidth,
                 int dstHeight, int x0, int y0, TPixelBuffer& dst) {
  const int ch = dst.Channels;
  const TContributions cols = Contributions(srcWidth, dstWidth, x0, dst.Width);
  const TContributions rows = Contributions(srcHeight, dstHeight, y0, dst.Height);
  const std::size_t rowLen = static_cast<std::size_t>(dst.Width) * ch;

  // Horizontal pass into 8.8 fixed point per distinct source row (at most 65280, so the
  // vertical sums of 16.16 weights stay below 2^32).
  std::vector<std::uint32_t> horizontal(static_cast<std::size_t>(keyCount) * rowLen);
  for (int key = 0; key < keyCount; ++key) {
    const std::uint8_t* in = rowOf(key);
    std::uint32_t* out = horizontal.data() + static_cast<std::size_t>(key) * rowLen;
    for (int x = 0; x < dst.Width; ++x) {
      const std::uint32_t* w = cols.Weights.data() + cols.Offset[static_cast<std::size_t>(x)];
      const std::uint8_t* p = in + static_cast<std::size_t>(cols.First[static_cast<std::size_t>(x)]) * ch;
      const int n = cols.Count[static_cast<std::size_t>(x)];
      if (ch == 3) {
        std::uint32_t r = 0, g = 0, b = 0;
        for (int i = 0; i < n; ++i, p += 3) r += w[i] * p[0], g += w[i] * p[1], b += w[i] * p[2];
        out[x * 3] = r >> 8, out[x * 3 + 1] = g >> 8, out[x * 3 + 2] = b >> 8;
      } else {
        for (int k = 0; k < ch; ++k) {
          std::uint32_t sum = 0;
          for (int i = 0; i < n; ++i) sum += w[i] * p[i * ch + k];
          out[x * ch + k] = sum >> 8;
        }
      }
    }
  }
  // Vertical pass, a whole row at a time.
  std::vector<std::uint32_t> accumulator(rowLen);
  for (int y = 0; y < dst.Height; ++y) {
    const std::size_t yi = static_cast<std::size_t>(y);
    const std::uint32_t* w = rows.Weights.data() + rows.Offset[yi];
    std::fill(accumulator.begin(), accumulator.end(), 0u);
    for (int i = 0; i < rows.Count[yi]; ++i) {
      const std::uint32_t* line = horizontal.data() + static_cast<std::size_t>(keyOf(rows.First[yi] + i)) * rowLen;
      const std::uint32_t wi = w[i];
      for (std::size_t x = 0; x < rowLen; ++x) accumulator[x] += wi * line[x];
    }
    std::uint8_t* out = dst.Row(y);
    for (std::size_t x = 0; x < rowLen; ++x)
      out[x] = static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (std::uint64_t(accumulator[x]) + (1u << 23)) >> 24));
  }
}

}  // namespace

void StretchHalftone(const TPixelBuffer& src, TPixelBuffer& dst) {
  if (dst.Empty() || src.Empty()) return;
  TPixelBuffer converted = src.Channels == dst.Channels ? TPixelBuffer() : src.ToRgb();
  const TPixelBuffer& s = src.Channels == dst.Channels ? src : converted;
  if (s.Channels != dst.Channels) return;  // gray destinations take gray sources only
  if (s.Width == dst.Width && s.Height == dst.Height) {
    dst.Data = s.Data;
    return;
  }
  StretchRows(s.Width, s.Height, s.Height, [&](int key) { return s.Row(key); }, [](int y) { return y; }, dst.Width,
              dst.Height, 0, 0, dst);
}

void StretchHalftoneWindow(const TPixelBuffer& src, int width, int height, int x0, int y0, TPixelBuffer& dst) {
  if (dst.Empty() || src.Empty() || width <= 0 || height <= 0) return;
  if (x0 < 0 || y0 < 0 || x0 + dst.Width > width || y0 + dst.Height > height) return;
  TPixelBuffer converted = src.Channels == dst.Channels ? TPixelBuffer() : src.ToRgb();
  const TPixelBuffer& s = src.Channels == dst.Channels ? src : converted;
  if (s.Channels != dst.Channels) return;
  StretchRows(s.Width, s.Height, s.Height, [&](int key) { return s.Row(key); }, [](int y) { return y; }, width, height,
              x0, y0, dst);
}

void StretchPlacedHalftone(const TPixelBuffer& image, int canvasWidth, int canvasHeight, int x, int y,
                           const std::uint8_t fill[3], TPixelBuffer& dst) {
  if (dst.Empty() || canvasWidth <= 0 || canvasHeight <= 0 || dst.Channels != 3) return;
  const TPixelBuffer converted = image.Channels == 3 ? TPixelBuffer() : image.ToRgb();
  const TPixelBuffer& img = image.Channels == 3 ? image : converted;
  // The part of the image inside the canvas: rows [top, bottom), columns [left, right).
  const int top = std::clamp(y, 0, canvasHeight), bottom = std::clamp(y + img.Height, 0, canvasHeight);
  const int left = std::clamp(x, 0, canvasWidth), right = std::clamp(x + img.Width, 0, canvasWidth);
  const bool any = bottom > top && right > left;
  // Key 0: a row of fill colour; key 1 + k: canvas row top + k.
  const std::size_t stride = static_cast<std::size_t>(canvasWidth) * 3;
  std::vector<std::uint8_t> fillRow(stride), line(stride);
  for (std::size_t i = 0; i < stride; i += 3) fillRow[i] = fill[0], fillRow[i + 1] = fill[1], fillRow[i + 2] = fill[2];
  auto rowOf = [&](int key) -> const std::uint8_t* {
    if (key == 0) return fillRow.data();
    line = fillRow;
    const int row = top + key - 1;
    std::copy_n(img.Row(row - y) + static_cast<std::size_t>(left - x) * 3, static_cast<std::size_t>(right - left) * 3,
                line.data() + static_cast<std::size_t>(left) * 3);
    return line.data();
  };
  auto keyOf = [&](int row) { return any && row >= top && row < bottom ? 1 + row - top : 0; };
  StretchRows(canvasWidth, canvasHeight, any ? 1 + bottom - top : 1, rowOf, keyOf, dst.Width, dst.Height, 0, 0, dst);
}

}  // namespace brelo
