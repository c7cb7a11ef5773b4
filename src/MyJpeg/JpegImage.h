// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The JPEG image used for every tile: loading keeps the compressed bytes and reads only the
// header; pixels are decoded on first use, optionally at 1/2, 1/4 or 1/8 size through the
// decoder's own DCT scaling; saving always encodes the pixels anew at Quality.
// The codec is libjpeg (libjpeg-turbo); no other run-time codec is looked for.
#include <cstdint>
#include <string>
#include <vector>

#include "MyJpeg/PixelBuffer.h"
#include "base/Errors.h"
#include "base/Stream.h"

namespace brelo {

// A codec error; the message is "JPEG error #%d" with libjpeg's message code.
struct EJPEG : EFormatError {
  explicit EJPEG(int code);
  int Code;
};

enum class TDecodeScale { Full = 0, Half = 1, Quarter = 2, Eighth = 3 };

// Decoded size of a side v at a scale: ceil(v / 2^scale).
int ScaledSize(int v, TDecodeScale scale);

// Decoded images larger than this many pixels are refused before any allocation.
constexpr std::uint64_t kMaxDecodedPixels = std::uint64_t(1) << 28;

class TJpegImage {
 public:
  int Quality = 90;
  TDecodeScale DecodeScale = TDecodeScale::Full;
  bool GrayOutput = false;
  bool WriteProgressive = false;
  // Decode to canvas pixels: 4 bytes a pixel, blue, green, red and 0xFF, the layout of a
  // 32-bit RGB picture in memory, so drawing one needs no conversion. Not for saving.
  bool CanvasOutput = false;

  // Copies the stream from its start and reads the JPEG header. Raises EJPEG on a bad header.
  void LoadFromStream(TStream& stream);
  void LoadFromBytes(std::vector<std::uint8_t> bytes);
  void LoadFromFile(const std::string& path);
  // Decodes SourceData into Pixels (no-op when already decoded). Raises EJPEG.
  void Decode();
  bool IsDecoded() const { return decoded_; }
  bool HasSource() const { return !source_.empty(); }

  // Pixel size; -1 when there is no image. Before decoding these are the header's sizes.
  int Width() const { return empty_ ? -1 : pixels_.Width; }
  int Height() const { return empty_ ? -1 : pixels_.Height; }
  // The decoded pixels (decoding first when needed).
  const TPixelBuffer& Pixels();
  TPixelBuffer TakePixels();

  void Assign(const TPixelBuffer& bitmap);
  void Assign(TPixelBuffer&& bitmap);
  void Clear();

  // Encodes the pixels anew and appends the JPEG to the stream. Nothing is written for 0 x 0.
  void SaveToStream(TStream& stream);
  void SaveToFile(const std::string& path);
  std::vector<std::uint8_t> SaveToBytes();

 private:
  TPixelBuffer pixels_;
  std::vector<std::uint8_t> source_;
  std::uint64_t load_ = 0;  // identifies the load, so the decoder can tell its header is read
  bool decoded_ = false;
  bool empty_ = true;
};

// Encodes pixels at a quality into out (appended). Shared by the image class and bulk encoders.
// Colour is subsampled 4:2:0 unless fullChroma (4:4:4).
void EncodeJpeg(const TPixelBuffer& pixels, int quality, bool grayscale, bool progressive,
                std::vector<std::uint8_t>& out, bool fullChroma = false);
// The same from a rectangle of a larger buffer, without copying it out first.
void EncodeJpeg(const TPixelView& pixels, int quality, bool grayscale, bool progressive, std::vector<std::uint8_t>& out,
                bool fullChroma = false);

}  // namespace brelo
