// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Source pictures for map creation, read top-down in bands of rows as RGB, so that a large
// picture never has to be held whole. The reader is chosen by the file's extension.
#include <memory>
#include <string>

#include "MyJpeg/PixelBuffer.h"

namespace brelo {

class TPictureReader {
 public:
  virtual ~TPictureReader() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The next rows (fewer at the bottom edge are never asked for) into band, RGB.
  virtual void ReadRows(int rows, TPixelBuffer& band) = 0;
};

// ".jpg"/".jpeg", ".png", ".bmp" (case-insensitive). An unknown extension or a damaged file
// raises EFormatError; a picture whose band of bandRows rows would not fit in memory too.
std::unique_ptr<TPictureReader> OpenPicture(const std::string& path, int bandRows = 1);
// The whole picture (tiles and other small images).
TPixelBuffer LoadPicture(const std::string& path);
// Windows bitmap reader (uncompressed 8, 24 and 32 bits) and PNG reader.
std::unique_ptr<TPictureReader> OpenBmp(const std::string& path);
std::unique_ptr<TPictureReader> OpenPng(const std::string& path);
std::unique_ptr<TPictureReader> OpenJpeg(const std::string& path);
// A Windows bitmap held in memory (the filler picture).
TPixelBuffer DecodeBmp(const std::uint8_t* data, std::size_t size);

}  // namespace brelo
