// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a JPEG file top-down, a band of rows at a time, without holding the whole picture.
// Progressive and multi-scan files are the exception: the decoder keeps their coefficients for
// the whole picture, which the memory limit counts.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "MyJpeg/PixelBuffer.h"

namespace brelo {

class TJpegRowReader {
 public:
  // Raises EJPEG or EIoError, and EFormatError when the decoder's whole-picture buffers would
  // take more than memoryLimit bytes. Every path closes what it opened.
  explicit TJpegRowReader(const std::string& path, std::uint64_t memoryLimit = UINT64_MAX);
  ~TJpegRowReader();
  TJpegRowReader(const TJpegRowReader&) = delete;
  TJpegRowReader& operator=(const TJpegRowReader&) = delete;

  int Width() const;
  int Height() const;
  // The next rows as RGB into band (resized to Width x rows).
  void ReadRows(int rows, TPixelBuffer& band);

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

// Bytes the decoder holds for the whole picture while it reads a file of this header: the
// coefficient arrays of a progressive or multi-scan file, 0 for a single-scan one.
std::uint64_t WholePictureDecoderBytes(int width, int height, bool multiScan, int components, const int* hSampling,
                                       const int* vSampling);

}  // namespace brelo
