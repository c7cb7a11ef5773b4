#pragma once
// Reads a JPEG file top-down, a band of rows at a time, without holding the whole picture.
#include <cstdio>
#include <memory>
#include <string>

#include "MyJpeg/PixelBuffer.h"

namespace brelo {

class TJpegRowReader {
 public:
  explicit TJpegRowReader(const std::string& path);  // raises EJPEG or EIoError
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

}  // namespace brelo
