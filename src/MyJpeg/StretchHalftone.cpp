// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/StretchHalftone.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "MyJpeg/StretchKernels.h"

namespace brelo {

namespace {

// Weights are 4.12 fixed point summing to 4096 in each direction, so the two passes multiply
// to at most 255 * 2^24 and a 32-bit sum is exact whichever pass runs first: both orders give
// the same bytes.
constexpr int kWeightBits = 12;
constexpr std::int64_t kUnit = std::int64_t(1) << kWeightBits;

// For each destination index of [from, from + count), K source indices from First[k] with
// their coverage weights at Weights[k * K]: runs are padded with zero weights to the longest,
// kept inside the source, so the inner loops have a fixed length.
struct TContributions {
  int K = 1;
  std::vector<int> First;
  std::vector<std::uint32_t> Weights;
  std::vector<std::int16_t> Pattern;  // for stretch::HorizontalRgb4, where it runs
};

TContributions Contributions(int srcSize, int dstSize, int from, int count) {
  TContributions c;
  const auto n = static_cast<std::size_t>(count);
  c.First.resize(n);
  // The source interval of d is [d * srcSize, (d + 1) * srcSize) in units of 1 / dstSize pixels.
  auto firstOf = [&](int d) { return static_cast<int>(std::int64_t(d) * srcSize / dstSize); };
  auto lastOf = [&](int d) { return static_cast<int>((std::int64_t(d + 1) * srcSize - 1) / dstSize); };
  for (int k = 0; k < count; ++k) c.K = std::max(c.K, lastOf(from + k) - firstOf(from + k) + 1);
  c.Weights.assign(n * static_cast<std::size_t>(c.K), 0);
  for (int k = 0; k < count; ++k) {
    const int d = from + k, first = firstOf(d), last = lastOf(d);
    const int start = std::min(first, srcSize - c.K);
    c.First[static_cast<std::size_t>(k)] = start;
    const std::int64_t a = std::int64_t(d) * srcSize, b = a + srcSize;
    // Rounded cumulative coverage, so the weights of a run sum to exactly kUnit.
    auto covered = [&](std::int64_t t) { return ((t - a) * kUnit * 2 + srcSize) / (std::int64_t(srcSize) * 2); };
    std::uint32_t* w = c.Weights.data() + static_cast<std::size_t>(k) * c.K;
    for (int s = first; s <= last; ++s) {
      const std::int64_t lo = std::max(a, std::int64_t(s) * dstSize), hi = std::min(b, std::int64_t(s + 1) * dstSize);
      w[s - start] = static_cast<std::uint32_t>(covered(hi) - covered(lo));
    }
  }
  return c;
}

// out[x] = the weighted sum of in's pixels under destination column x, for every x of cols.
template <int K, int Ch, class In>
void HorizontalFixed(const TContributions& cols, const In* in, std::uint32_t* out, int channels, std::size_t from = 0) {
  const int ch = Ch > 0 ? Ch : channels;
  const int k = K > 0 ? K : cols.K;
  const std::size_t n = cols.First.size();
  for (std::size_t x = from; x < n; ++x) {
    const std::uint32_t* w = cols.Weights.data() + x * static_cast<std::size_t>(k);
    const In* p = in + static_cast<std::size_t>(cols.First[x]) * ch;
    for (int c = 0; c < ch; ++c) {
      std::uint32_t sum = 0;
      for (int i = 0; i < k; ++i) sum += w[i] * static_cast<std::uint32_t>(p[i * ch + c]);
      out[x * static_cast<std::size_t>(ch) + c] = sum;
    }
  }
}

// The same for 8-bit RGB, the three channels of a pixel in 21-bit lanes of one 64-bit word:
// a lane's sum stays below 255 * 4096 < 2^20, so one multiply weighs all three.
template <int K>
void HorizontalPacked(const TContributions& cols, const std::uint8_t* in, std::size_t width, std::uint32_t* out) {
  thread_local std::vector<std::uint64_t> packed;
  if (packed.size() < width) packed.resize(width);
  for (std::size_t s = 0; s < width; ++s)
    packed[s] = in[s * 3] | std::uint64_t(in[s * 3 + 1]) << 21 | std::uint64_t(in[s * 3 + 2]) << 42;
  constexpr std::uint64_t lane = (1u << 21) - 1;
  const std::size_t n = cols.First.size();
  const int k = K > 0 ? K : cols.K;
  for (std::size_t x = 0; x < n; ++x) {
    const std::uint32_t* w = cols.Weights.data() + x * static_cast<std::size_t>(k);
    const std::uint64_t* p = packed.data() + cols.First[x];
    std::uint64_t sum = 0;
    for (int i = 0; i < k; ++i) sum += w[i] * p[i];
    out[x * 3] = static_cast<std::uint32_t>(sum & lane);
    out[x * 3 + 1] = static_cast<std::uint32_t>(sum >> 21 & lane);
    out[x * 3 + 2] = static_cast<std::uint32_t>(sum >> 42);
  }
}

// The weight pattern of stretch::HorizontalRgb4, when it can run on these runs.
void PrepareRgb4(TContributions& cols) {
  if (cols.K > 4 || !stretch::HasRgb4()) return;
  cols.Pattern.assign(cols.First.size() * 16, 0);
  for (std::size_t x = 0; x < cols.First.size(); ++x) {
    std::uint32_t w[4] = {0, 0, 0, 0};
    std::copy_n(cols.Weights.data() + x * cols.K, cols.K, w);
    std::int16_t* p = cols.Pattern.data() + x * 16;
    for (int c = 0; c < 3; ++c) {
      p[c * 2] = static_cast<std::int16_t>(w[0]), p[c * 2 + 1] = static_cast<std::int16_t>(w[1]);
      p[8 + c * 2] = static_cast<std::int16_t>(w[2]), p[8 + c * 2 + 1] = static_cast<std::int16_t>(w[3]);
    }
  }
}

void Horizontal(const TContributions& cols, const std::uint8_t* in, std::size_t width, std::uint32_t* out, int ch) {
  if (ch != 3) return HorizontalFixed<0, 0>(cols, in, out, ch);
  if (!cols.Pattern.empty()) {
    const std::size_t done =
        stretch::HorizontalRgb4(cols.Pattern.data(), cols.First.data(), cols.First.size(), in, width * 3, out);
    if (done == cols.First.size()) return;
    // The last few outputs, whose vector loads would pass the row's end.
    return HorizontalFixed<0, 3>(cols, in, out, ch, done);
  }
  switch (cols.K) {
    case 1: return HorizontalPacked<1>(cols, in, width, out);
    case 2: return HorizontalPacked<2>(cols, in, width, out);
    case 3: return HorizontalPacked<3>(cols, in, width, out);
    case 4: return HorizontalPacked<4>(cols, in, width, out);
    default: return HorizontalPacked<0>(cols, in, width, out);
  }
}

void Horizontal(const TContributions& cols, const std::uint32_t* in, std::uint32_t* out, int ch) {
  if (ch == 3) {
    switch (cols.K) {
      case 1: return HorizontalFixed<1, 3>(cols, in, out, ch);
      case 2: return HorizontalFixed<2, 3>(cols, in, out, ch);
      case 3: return HorizontalFixed<3, 3>(cols, in, out, ch);
      case 4: return HorizontalFixed<4, 3>(cols, in, out, ch);
      default: return HorizontalFixed<0, 3>(cols, in, out, ch);
    }
  }
  HorizontalFixed<0, 0>(cols, in, out, ch);
}

// acc = the sum of rows[i] * weights[i] over len values, rows with equal keys taken once
// with their weights summed (exact: the rows are equal).
template <class In, class RowAt>
void Vertical(const std::uint32_t* w, int k, int first, const RowAt& rowAt, std::size_t len, std::uint32_t* acc) {
  bool started = false;
  for (int i = 0; i < k;) {
    std::uint32_t weight = w[i];
    int j = i + 1;
    while (j < k && rowAt.Key(first + j) == rowAt.Key(first + i)) weight += w[j++];
    if (weight != 0) {
      stretch::MultiplyRow(rowAt.Row(first + i), weight, len, acc, started);
      started = true;
    }
    i = j;
  }
  if (!started) std::fill_n(acc, len, 0u);
}

// The index of the one row a destination row takes whole, or -1.
int WholeRow(const std::uint32_t* w, int k) {
  for (int i = 0; i < k; ++i)
    if (w[i] == kUnit) return i;
  return -1;
}

std::uint32_t* Scratch(std::vector<std::uint32_t>& buffer, std::size_t size) {
  if (buffer.size() < size) buffer.resize(size);
  return buffer.data();
}

// Resamples a source of srcWidth x srcHeight pixels given row by row onto a destination of
// dstWidth x dstHeight, of which dst receives the window at (x0, y0). Source rows with the
// same key are equal: keys run from 0 to keyCount - 1, rowOf(key) gives the row's pixels and
// keyOf(y) the key of row y. The cheaper pass runs first: the horizontal one over the distinct
// rows when few, the vertical one over whole rows (which vectorises) when downscaling.
template <class RowOf, class KeyOf>
void StretchRows(int srcWidth, int srcHeight, int keyCount, const RowOf& rowOf, const KeyOf& keyOf, int dstWidth,
                 int dstHeight, int x0, int y0, TPixelBuffer& dst) {
  const int ch = dst.Channels;
  TContributions cols = Contributions(srcWidth, dstWidth, x0, dst.Width);
  const TContributions rows = Contributions(srcHeight, dstHeight, y0, dst.Height);
  const std::size_t rowLen = static_cast<std::size_t>(dst.Width) * ch;
  const int spanFirst = cols.First.front(), spanEnd = cols.First.back() + cols.K;
  const std::size_t spanLen = static_cast<std::size_t>(spanEnd - spanFirst) * ch;
  thread_local std::vector<std::uint32_t> scratchA, scratchB;

  // Rough costs per value: the vertical pass vectorises, a horizontal one over 32-bit sums
  // does not, one over bytes does where HorizontalRgb4 runs.
  const bool rgb4 = ch == 3 && cols.K <= 4 && stretch::HasRgb4();
  const double vertical = 0.25 * rows.K, horizontal8 = rgb4 ? 1.0 : 1.5 * cols.K, horizontal32 = 3.0 * cols.K;
  const int rowSpan = rows.First.back() + rows.K - rows.First.front();
  const double distinctRows = std::min(keyCount, rowSpan);
  const double horizontalFirst = distinctRows * rowLen * horizontal8 + double(dst.Height) * rowLen * vertical;
  const double verticalFirst = double(dst.Height) * spanLen * vertical + double(dst.Height) * rowLen * horizontal32;
  if (horizontalFirst <= verticalFirst) {
    if (rgb4) PrepareRgb4(cols);
    // Each distinct source row once through the horizontal pass, then rows of them combined.
    std::uint32_t* horizontal = Scratch(scratchA, static_cast<std::size_t>(keyCount) * rowLen);
    std::vector<bool> done(static_cast<std::size_t>(keyCount));
    for (int y = 0; y < dst.Height; ++y)
      for (int i = 0; i < rows.K; ++i) {
        const int key = keyOf(rows.First[static_cast<std::size_t>(y)] + i);
        if (done[static_cast<std::size_t>(key)]) continue;
        done[static_cast<std::size_t>(key)] = true;
        Horizontal(cols, rowOf(key), static_cast<std::size_t>(srcWidth),
                   horizontal + static_cast<std::size_t>(key) * rowLen, ch);
      }
    struct {
      const KeyOf& keyOf;
      const std::uint32_t* horizontal;
      std::size_t rowLen;
      int Key(int y) const { return keyOf(y); }
      const std::uint32_t* Row(int y) const { return horizontal + static_cast<std::size_t>(keyOf(y)) * rowLen; }
    } rowAt{keyOf, horizontal, rowLen};
    std::uint32_t* acc = Scratch(scratchB, rowLen);
    for (int y = 0; y < dst.Height; ++y) {
      const std::size_t yi = static_cast<std::size_t>(y);
      const std::uint32_t* w = rows.Weights.data() + yi * rows.K;
      const int whole = WholeRow(w, rows.K);
      if (whole >= 0) {
        stretch::FinishHalfSums(rowAt.Row(rows.First[yi] + whole), rowLen, dst.Row(y));
        continue;
      }
      Vertical<std::uint32_t>(w, rows.K, rows.First[yi], rowAt, rowLen, acc);
      stretch::FinishSums(acc, rowLen, dst.Row(y));
    }
  } else {
    // Source rows combined over the columns in use, then each destination row resampled.
    struct {
      const RowOf& rowOf;
      const KeyOf& keyOf;
      std::size_t offset;
      int Key(int y) const { return keyOf(y); }
      const std::uint8_t* Row(int y) const { return rowOf(keyOf(y)) + offset; }
    } rowAt{rowOf, keyOf, static_cast<std::size_t>(spanFirst) * ch};
    for (auto& f : cols.First) f -= spanFirst;
    std::uint32_t* columnSums = Scratch(scratchA, spanLen);
    std::uint32_t* sums = Scratch(scratchB, rowLen);
    for (int y = 0; y < dst.Height; ++y) {
      const std::size_t yi = static_cast<std::size_t>(y);
      Vertical<std::uint8_t>(rows.Weights.data() + yi * rows.K, rows.K, rows.First[yi], rowAt, spanLen, columnSums);
      Horizontal(cols, columnSums, sums, ch);
      stretch::FinishSums(sums, rowLen, dst.Row(y));
    }
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
  StretchRows(
      s.Width, s.Height, s.Height, [&](int key) { return s.Row(key); }, [](int y) { return y; }, dst.Width, dst.Height,
      0, 0, dst);
}

void StretchHalftoneWindow(const TPixelBuffer& src, int width, int height, int x0, int y0, TPixelBuffer& dst) {
  if (dst.Empty() || src.Empty() || width <= 0 || height <= 0) return;
  if (x0 < 0 || y0 < 0 || x0 + dst.Width > width || y0 + dst.Height > height) return;
  TPixelBuffer converted = src.Channels == dst.Channels ? TPixelBuffer() : src.ToRgb();
  const TPixelBuffer& s = src.Channels == dst.Channels ? src : converted;
  if (s.Channels != dst.Channels) return;
  StretchRows(
      s.Width, s.Height, s.Height, [&](int key) { return s.Row(key); }, [](int y) { return y; }, width, height, x0, y0,
      dst);
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
    const int row = top + key - 1;
    if (left == 0 && right == canvasWidth && x == 0) return img.Row(row - y);
    line = fillRow;
    std::copy_n(img.Row(row - y) + static_cast<std::size_t>(left - x) * 3, static_cast<std::size_t>(right - left) * 3,
                line.data() + static_cast<std::size_t>(left) * 3);
    return line.data();
  };
  auto keyOf = [&](int row) { return any && row >= top && row < bottom ? 1 + row - top : 0; };
  StretchRows(canvasWidth, canvasHeight, any ? 1 + bottom - top : 1, rowOf, keyOf, dst.Width, dst.Height, 0, 0, dst);
}

}  // namespace brelo
