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

TContributions Contributions(int srcSize, int dstSize) {
  TContributions c;
  c.First.resize(static_cast<std::size_t>(dstSize));
  c.Count.resize(static_cast<std::size_t>(dstSize));
  c.Offset.resize(static_cast<std::size_t>(dstSize));
  for (int d = 0; d < dstSize; ++d) {
    // The source interval [a, b) in units of 1 / dstSize source pixels.
    const std::int64_t a = std::int64_t(d) * srcSize, b = std::int64_t(d + 1) * srcSize;
    const int first = static_cast<int>(a / dstSize), last = static_cast<int>((b - 1) / dstSize);
    c.First[static_cast<std::size_t>(d)] = first;
    c.Count[static_cast<std::size_t>(d)] = last - first + 1;
    c.Offset[static_cast<std::size_t>(d)] = static_cast<int>(c.Weights.size());
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
  const int ch = dst.Channels;
  const TContributions cols = Contributions(s.Width, dst.Width);
  const TContributions rows = Contributions(s.Height, dst.Height);
  const std::size_t rowLen = static_cast<std::size_t>(dst.Width) * ch;

  // Horizontal pass into 8.8 fixed point per source row (at most 65280, so the vertical sums
  // of 16.16 weights stay below 2^32).
  std::vector<std::uint32_t> horizontal(static_cast<std::size_t>(s.Height) * rowLen);
  for (int y = 0; y < s.Height; ++y) {
    const std::uint8_t* in = s.Row(y);
    std::uint32_t* out = horizontal.data() + static_cast<std::size_t>(y) * rowLen;
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
      const std::uint32_t* line = horizontal.data() + static_cast<std::size_t>(rows.First[yi] + i) * rowLen;
      const std::uint32_t wi = w[i];
      for (std::size_t x = 0; x < rowLen; ++x) accumulator[x] += wi * line[x];
    }
    std::uint8_t* out = dst.Row(y);
    for (std::size_t x = 0; x < rowLen; ++x)
      out[x] = static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (std::uint64_t(accumulator[x]) + (1u << 23)) >> 24));
  }
}

}  // namespace brelo
