// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures/PictureReader.h"

#include <array>

#include "MyJpeg/JpegRowReader.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Platform.h"
#include "base/Text.h"

namespace brelo {

namespace {

class TJpegPicture : public TPictureReader {
 public:
  explicit TJpegPicture(const std::string& path) : reader_(path, platform::PhysicalMemory() / 2) {}
  int Width() const override { return reader_.Width(); }
  int Height() const override { return reader_.Height(); }
  void ReadRows(int rows, TPixelBuffer& band) override { reader_.ReadRows(rows, band); }

 private:
  TJpegRowReader reader_;
};

using TOpener = std::unique_ptr<TPictureReader> (*)(const std::string&);

constexpr std::array<std::pair<const char*, TOpener>, 4> kOpeners = {{
    {".jpg", OpenJpeg},
    {".jpeg", OpenJpeg},
    {".png", OpenPng},
    {".bmp", OpenBmp},
}};

}  // namespace

std::unique_ptr<TPictureReader> OpenJpeg(const std::string& path) { return std::make_unique<TJpegPicture>(path); }

std::unique_ptr<TPictureReader> OpenPicture(const std::string& path, int bandRows) {
  const std::string ext = LowerAscii(ExtensionOf(path));
  for (const auto& [suffix, open] : kOpeners) {
    if (ext != suffix) continue;
    std::unique_ptr<TPictureReader> reader;
    try {
      reader = open(path);
    } catch (const EIoError&) {
      throw;
    } catch (const EBreloError& e) {
      throw EFormatError(path + ": not a readable picture (" + e.what() + ")");
    }
    const std::uint64_t band = std::uint64_t(reader->Width()) * std::uint64_t(std::max(1, bandRows)) * 3;
    if (reader->Width() <= 0 || reader->Height() <= 0) throw EFormatError(path + ": the picture has no pixels");
    if (band > platform::PhysicalMemory() / 2)
      throw EFormatError(path + Format(": a picture of %d x %d pixels is too large for this machine", reader->Width(),
                                       reader->Height()));
    return reader;
  }
  throw EFormatError(path + ": unknown picture type \"" + ext + "\" (JPEG, PNG or BMP expected)");
}

TPixelBuffer LoadPicture(const std::string& path) {
  auto reader = OpenPicture(path, 1);
  if (std::uint64_t(reader->Width()) * reader->Height() * 3 > platform::PhysicalMemory() / 2)
    throw EFormatError(path + ": the picture is too large for this machine");
  TPixelBuffer all;
  reader->ReadRows(reader->Height(), all);
  return all;
}

}  // namespace brelo
