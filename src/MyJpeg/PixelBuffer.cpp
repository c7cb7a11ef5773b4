// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/PixelBuffer.h"

#include <algorithm>
#include <cstring>

namespace brelo {

void TPixelBuffer::Fill(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (Channels == 1) {
    std::fill(Data.begin(), Data.end(), r);
    return;
  }
  for (std::size_t i = 0; i + 2 < Data.size(); i += 3) {
    Data[i] = r;
    Data[i + 1] = g;
    Data[i + 2] = b;
  }
}

void TPixelBuffer::Draw(const TPixelBuffer& src, int x, int y) {
  const TPixelBuffer& s = src;
  int x0 = std::max(0, x), y0 = std::max(0, y);
  int x1 = std::min(Width, x + s.Width), y1 = std::min(Height, y + s.Height);
  if (x0 >= x1 || y0 >= y1 || s.Channels != Channels) return;
  for (int row = y0; row < y1; ++row)
    std::memcpy(Row(row) + static_cast<std::size_t>(x0) * Channels,
                s.Row(row - y) + static_cast<std::size_t>(x0 - x) * Channels,
                static_cast<std::size_t>(x1 - x0) * Channels);
}

TPixelBuffer TPixelBuffer::ToRgb() const {
  if (Channels == 3) return *this;
  TPixelBuffer out(Width, Height, 3);
  for (std::size_t i = 0; i < Data.size(); ++i) {
    out.Data[i * 3] = out.Data[i * 3 + 1] = out.Data[i * 3 + 2] = Data[i];
  }
  return out;
}

}  // namespace brelo
