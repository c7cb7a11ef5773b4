#include "MyJpeg/StretchHalftone.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace brelo {

namespace {

struct TContribution {
  int First = 0;
  std::vector<std::uint32_t> Weights;  // 16.16 fixed point, summing to 65536
};

// For each destination index, the source indices it covers and their coverage weights.
std::vector<TContribution> Contributions(int srcSize, int dstSize) {
  std::vector<TContribution> out(static_cast<std::size_t>(dstSize));
  for (int d = 0; d < dstSize; ++d) {
    // Source interval [a, b) in units of 1 / dstSize source pixels.
    std::int64_t a = std::int64_t(d) * srcSize, b = std::int64_t(d + 1) * srcSize;
    int first = static_cast<int>(a / dstSize);
    int last = static_cast<int>((b - 1) / dstSize);
    TContribution& c = out[static_cast<std::size_t>(d)];
    c.First = first;
    std::uint32_t total = 0;
    for (int s = first; s <= last; ++s) {
      std::int64_t lo = std::max(a, std::int64_t(s) * dstSize), hi = std::min(b, std::int64_t(s + 1) * dstSize);
      auto w = static_cast<std::uint32_t>(((hi - lo) << 16) / srcSize);
      c.Weights.push_back(w);
      total += w;
    }
    c.Weights.back() += 65536 - total;  // rounding remainder
  }
  return out;
}

}  // namespace

void StretchHalftone(const TPixelBuffer& src, TPixelBuffer& dst) {
  if (dst.Empty() || src.Empty()) return;
  TPixelBuffer source = src.Channels == dst.Channels ? TPixelBuffer() : src.ToRgb();
  const TPixelBuffer& s = src.Channels == dst.Channels ? src : source;
  if (s.Channels != dst.Channels) return;  // gray destinations take gray sources only
  const int ch = dst.Channels;
  if (s.Width == dst.Width && s.Height == dst.Height) {
    dst.Data = s.Data;
    return;
  }
  const auto cols = Contributions(s.Width, dst.Width);
  const auto rows = Contributions(s.Height, dst.Height);
  // Horizontal pass into 16.16 sums per source row, then the vertical pass.
  std::vector<std::uint32_t> horizontal(static_cast<std::size_t>(s.Height) * dst.Width * ch);
  for (int y = 0; y < s.Height; ++y) {
    const std::uint8_t* in = s.Row(y);
    std::uint32_t* out = horizontal.data() + static_cast<std::size_t>(y) * dst.Width * ch;
    for (int x = 0; x < dst.Width; ++x) {
      const TContribution& c = cols[static_cast<std::size_t>(x)];
      for (int k = 0; k < ch; ++k) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < c.Weights.size(); ++i) sum += c.Weights[i] * in[(c.First + i) * ch + k];
        out[x * ch + k] = sum >> 8;  // 8.8 fixed point keeps the vertical sums in 32 bits
      }
    }
  }
  const std::size_t rowLen = static_cast<std::size_t>(dst.Width) * ch;
  for (int y = 0; y < dst.Height; ++y) {
    const TContribution& c = rows[static_cast<std::size_t>(y)];
    std::uint8_t* out = dst.Row(y);
    for (std::size_t x = 0; x < rowLen; ++x) {
      std::uint64_t sum = 0;
      for (std::size_t i = 0; i < c.Weights.size(); ++i)
        sum += std::uint64_t(c.Weights[i]) * horizontal[(c.First + i) * rowLen + x];
      out[x] = static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (sum + (1u << 23)) >> 24));
    }
  }
}

}  // namespace brelo
