// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libjpeg-turbo used directly, with one reused decompressor and compressor: the reference
// the program's own paths are measured against.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace brelo::bench {

class TRawJpeg {
 public:
  TRawJpeg();
  ~TRawJpeg();
  // Decodes into rgb (resized); returns width and height.
  void Decode(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>& rgb, int& width, int& height);
  void Encode(const std::vector<std::uint8_t>& rgb, int width, int height, int quality, std::vector<std::uint8_t>& out);

 private:
  jpeg_decompress_struct d_;
  jpeg_compress_struct c_;
  jpeg_error_mgr de_, ce_;
};

}  // namespace brelo::bench
