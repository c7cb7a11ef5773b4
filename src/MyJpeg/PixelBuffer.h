// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoded image pixels: rows top-down, 1 channel (gray) or 3 channels (R, G, B), no padding.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace brelo {

// A rectangle of pixels held elsewhere: rows Stride bytes apart, valid while their owner is.
struct TPixelView {
  const std::uint8_t* Data = nullptr;
  int Width = 0;
  int Height = 0;
  int Channels = 3;
  std::size_t Stride = 0;  // [bytes]

  const std::uint8_t* Row(int y) const { return Data + Stride * static_cast<std::size_t>(y); }
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

struct TPixelBuffer {
  int Width = 0;
  int Height = 0;
  int Channels = 3;
  std::vector<std::uint8_t> Data;

  TPixelBuffer() = default;
  TPixelBuffer(int width, int height, int channels = 3)
      : Width(width), Height(height), Channels(channels), Data(static_cast<std::size_t>(width) * height * channels) {}

  std::size_t Stride() const { return static_cast<std::size_t>(Width) * Channels; }
  std::uint8_t* Row(int y) { return Data.data() + Stride() * y; }
  const std::uint8_t* Row(int y) const { return Data.data() + Stride() * y; }
  bool Empty() const { return Width <= 0 || Height <= 0; }
  // The whole buffer, or the rectangle at (x, y) of width x height (inside the buffer).
  TPixelView View() const { return {Data.data(), Width, Height, Channels, Stride()}; }
  TPixelView View(int x, int y, int width, int height) const {
    return {Row(y) + static_cast<std::size_t>(x) * Channels, width, height, Channels, Stride()};
  }
  void Fill(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  // Copies src with its top-left corner at (x, y), clipped to this buffer. Channels must match.
  void Draw(const TPixelBuffer& src, int x, int y);
  // The 3-channel form of this buffer (gray replicated).
  TPixelBuffer ToRgb() const;
};

}  // namespace brelo
