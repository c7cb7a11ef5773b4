// SPDX-License-Identifier: GPL-3.0-or-later
// PNG pictures through libpng: palette, gray and 16-bit images are expanded to 8-bit RGB and
// alpha is dropped. Non-interlaced images are read row by row; interlaced ones need the whole
// picture, which is read on the first request.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>

#include "base/Errors.h"
#include "base/Platform.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "pictures/PictureReader.h"

namespace brelo {

namespace {

void OnPngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  *text = message;
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

class TPngPicture : public TPictureReader {
 public:
  explicit TPngPicture(const std::string& path) : name_(path) {
    try {
      Open(path);
    } catch (...) {
      Release();
      throw;
    }
  }

  ~TPngPicture() override { Release(); }

  void Open(const std::string& path) {
    file_ = OpenRegularFile(path, "rb");
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file_) != 8 || png_sig_cmp(signature, 0, 8) != 0) Fail("not a PNG picture");
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message_, OnPngError, OnPngWarning);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
    if (!info_) Fail("out of memory");
    if (setjmp(png_jmpbuf(png_))) Fail(message_);
    png_init_io(png_, file_);
    png_set_sig_bytes(png_, 8);
    png_set_user_limits(png_, 1000000, 1000000);
    png_read_info(png_, info_);
    const int type = png_get_color_type(png_, info_);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png_);
    if (png_get_bit_depth(png_, info_) < 8) png_set_packing(png_);
    if (png_get_bit_depth(png_, info_) == 16) png_set_strip_16(png_);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png_, info_) < 8) png_set_expand_gray_1_2_4_to_8(png_);
    png_set_tRNS_to_alpha(png_);
    png_set_strip_alpha(png_);
    interlaced_ = png_set_interlace_handling(png_) > 1;
    png_read_update_info(png_, info_);
    width_ = static_cast<int>(png_get_image_width(png_, info_));
    height_ = static_cast<int>(png_get_image_height(png_, info_));
    if (png_get_rowbytes(png_, info_) != static_cast<std::size_t>(width_) * 3) Fail("unsupported PNG pixel layout");
    if (interlaced_ && std::uint64_t(width_) * std::uint64_t(height_) * 3 > platform::PhysicalMemory() / 2)
      Fail(Format("an interlaced picture of %d x %d pixels is too large for this machine", width_, height_));
  }

  void Release() {
    if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
    if (file_) std::fclose(file_);
    png_ = nullptr;
    info_ = nullptr;
    file_ = nullptr;
  }

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void ReadRows(int rows, TPixelBuffer& band) override {
    if (band.Width != width_ || band.Height != rows || band.Channels != 3) band = TPixelBuffer(width_, rows, 3);
    if (setjmp(png_jmpbuf(png_))) Fail(message_);
    if (interlaced_) {
      if (whole_.Empty()) {
        whole_ = TPixelBuffer(width_, height_, 3);
        std::vector<png_bytep> pointers(static_cast<std::size_t>(height_));
        for (int y = 0; y < height_; ++y) pointers[static_cast<std::size_t>(y)] = whole_.Row(y);
        png_read_image(png_, pointers.data());
      }
      for (int y = 0; y < rows && next_ < height_; ++y, ++next_)
        std::memcpy(band.Row(y), whole_.Row(next_), band.Stride());
      return;
    }
    for (int y = 0; y < rows && next_ < height_; ++y, ++next_) png_read_row(png_, band.Row(y), nullptr);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) { throw EFormatError(name_ + ": " + what); }

  std::string name_, message_;
  std::FILE* file_ = nullptr;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int width_ = 0, height_ = 0, next_ = 0;
  bool interlaced_ = false;
  TPixelBuffer whole_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenPng(const std::string& path) { return std::make_unique<TPngPicture>(path); }

}  // namespace brelo
