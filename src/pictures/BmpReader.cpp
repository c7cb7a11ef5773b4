// SPDX-License-Identifier: GPL-3.0-or-later
// Windows bitmaps: BITMAPFILEHEADER and BITMAPINFOHEADER (or a larger header). Uncompressed
// 1-, 4- and 8-bit palette pictures, 16-bit (5-5-5, or any colour masks), 24-bit and 32-bit
// (blue-green-red, or any colour masks) are read row by row; RLE8 and RLE4 pictures, which
// are stored bottom-up as one stream, are unpacked whole to palette indices first.
#include <bit>
#include <cstring>
#include <vector>

#include "base/Errors.h"
#include "base/Stream.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "pictures/PictureReader.h"

namespace brelo {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
// Unpacked RLE pictures are held whole, one byte a pixel.
constexpr std::uint64_t kMaxRlePixels = std::uint64_t(1) << 31;

// One colour channel of a masked pixel, scaled to 8 bits.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;
  explicit TChannel(std::uint32_t mask = 0) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint8_t Of(std::uint32_t pixel) const {
    if (!Max) return 0;
    return static_cast<std::uint8_t>((std::uint64_t((pixel & Mask) >> Shift) * 255 + Max / 2) / Max);
  }
};

class TBmpPicture : public TPictureReader {
 public:
  TBmpPicture(std::unique_ptr<TStream> stream, const std::string& name) : in_(std::move(stream)), name_(name) {
    std::uint8_t head[kFileHeaderSize + 56] = {};
    const std::size_t got = in_->Read(head, sizeof head);
    if (got < kFileHeaderSize + 40 || head[0] != 'B' || head[1] != 'M') Fail("not a Windows bitmap");
    dataOffset_ = LoadUInt32(head + 10);
    const std::uint32_t infoSize = LoadUInt32(head + 14);
    const std::int32_t width = LoadInt32(head + 18), height = LoadInt32(head + 22);
    bits_ = LoadInt16(head + 28);
    compression_ = LoadUInt32(head + 30);
    std::uint32_t colours = LoadUInt32(head + 46);
    if (infoSize < 40) Fail("unsupported bitmap header");
    if (width <= 0 || width > 1000000 || height == 0 || height < -1000000 || height > 1000000)
      Fail(Format("bad bitmap size %d x %d", width, height));
    const bool supported = (compression_ == kRgb &&
                            (bits_ == 1 || bits_ == 4 || bits_ == 8 || bits_ == 16 || bits_ == 24 || bits_ == 32)) ||
                           (compression_ == kBitFields && (bits_ == 16 || bits_ == 32)) ||
                           (compression_ == kRle8 && bits_ == 8) || (compression_ == kRle4 && bits_ == 4);
    if (!supported) Fail(Format("%d-bit bitmaps with compression %u are not supported", bits_, compression_));
    width_ = width;
    topDown_ = height < 0;
    height_ = topDown_ ? -height : height;
    if (topDown_ && (compression_ == kRle8 || compression_ == kRle4)) Fail("a compressed bitmap must be bottom-up");

    if (bits_ == 16 || bits_ == 32) {
      std::uint32_t r = bits_ == 16 ? 0x7C00 : 0x00FF0000, g = bits_ == 16 ? 0x03E0 : 0x0000FF00,
                    b = bits_ == 16 ? 0x001F : 0x000000FF;
      if (compression_ == kBitFields) {
        // The masks follow a 40-byte header, and lie inside the larger ones at the same place.
        std::uint8_t masks[12];
        in_->Seek(kFileHeaderSize + 40);
        if (in_->Read(masks, sizeof masks) != sizeof masks) Fail("colour masks cut short");
        r = LoadUInt32(masks), g = LoadUInt32(masks + 4), b = LoadUInt32(masks + 8);
        if (!r && !g && !b) Fail("colour masks are all zero");
      }
      red_ = TChannel(r), green_ = TChannel(g), blue_ = TChannel(b);
    }
    if (bits_ <= 8) {
      const std::uint32_t most = 1u << bits_;
      if (colours == 0 || colours > most) colours = most;
      palette_.assign(256 * 4, 0);
      std::uint32_t paletteAt = kFileHeaderSize + infoSize;
      if (infoSize == 40 && compression_ == kBitFields) paletteAt += 12;
      in_->Seek(paletteAt);
      in_->Read(palette_.data(), colours * 4);
    }
    const std::uint64_t size = in_->Size();
    stride_ = (static_cast<std::uint64_t>(width_) * static_cast<std::uint64_t>(bits_) + 31) / 32 * 4;
    if (compression_ == kRle8 || compression_ == kRle4) {
      UnpackRle(size);
    } else {
      if (dataOffset_ + stride_ * static_cast<std::uint64_t>(height_) > size) Fail("pixel data cut short");
      row_.resize(static_cast<std::size_t>(stride_));
    }
  }

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void ReadRows(int rows, TPixelBuffer& band) override {
    if (band.Width != width_ || band.Height != rows || band.Channels != 3) band = TPixelBuffer(width_, rows, 3);
    for (int y = 0; y < rows && next_ < height_; ++y, ++next_) {
      const int fileRow = topDown_ ? next_ : height_ - 1 - next_;
      std::uint8_t* out = band.Row(y);
      if (!unpacked_.empty()) {
        const std::uint8_t* index = unpacked_.data() + static_cast<std::size_t>(fileRow) * width_;
        for (int x = 0; x < width_; ++x, out += 3) PutPalette(index[x], out);
        continue;
      }
      in_->Seek(dataOffset_ + stride_ * static_cast<std::uint64_t>(fileRow));
      in_->ReadExact(row_.data(), row_.size(), "bitmap row");
      const std::uint8_t* p = row_.data();
      for (int x = 0; x < width_; ++x, out += 3) {
        const std::size_t i = static_cast<std::size_t>(x);
        switch (bits_) {
          case 1: PutPalette((p[i / 8] >> (7 - i % 8)) & 1, out); break;
          case 4: PutPalette((p[i / 2] >> (i % 2 ? 0 : 4)) & 15, out); break;
          case 8: PutPalette(p[i], out); break;
          case 16: PutMasked(std::uint32_t(p[2 * i]) | std::uint32_t(p[2 * i + 1]) << 8, out); break;
          case 24: out[0] = p[3 * i + 2], out[1] = p[3 * i + 1], out[2] = p[3 * i]; break;  // stored B, G, R
          default: PutMasked(LoadUInt32(p + 4 * i), out); break;
        }
      }
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) { throw EFormatError(name_ + ": " + what); }

  void PutPalette(unsigned index, std::uint8_t* out) const {
    const std::uint8_t* q = palette_.data() + 4 * index;
    out[0] = q[2], out[1] = q[1], out[2] = q[0];
  }
  void PutMasked(std::uint32_t pixel, std::uint8_t* out) const {
    out[0] = red_.Of(pixel), out[1] = green_.Of(pixel), out[2] = blue_.Of(pixel);
  }

  // Run-length pictures: runs and absolute groups of indices, end of line, end of picture and
  // deltas; what a damaged stream leaves out stays index 0.
  void UnpackRle(std::uint64_t fileSize) {
    if (std::uint64_t(width_) * std::uint64_t(height_) > kMaxRlePixels)
      Fail(Format("a compressed bitmap of %d x %d pixels is too large to unpack", width_, height_));
    if (dataOffset_ >= fileSize) Fail("pixel data cut short");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(fileSize - dataOffset_));
    in_->Seek(dataOffset_);
    in_->ReadExact(data.data(), data.size(), "bitmap data");
    unpacked_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    const bool four = compression_ == kRle4;
    std::size_t at = 0;
    int x = 0, y = 0;  // y counts file rows, from the bottom
    auto put = [&](unsigned index) {
      if (x < width_ && y < height_)
        unpacked_[static_cast<std::size_t>(y) * width_ + x] = static_cast<std::uint8_t>(index);
      ++x;
    };
    while (at + 1 < data.size() && y < height_) {
      const unsigned count = data[at], value = data[at + 1];
      at += 2;
      if (count > 0) {
        for (unsigned k = 0; k < count; ++k) put(four ? (k % 2 ? value & 15 : value >> 4) : value);
      } else if (value == 0) {
        x = 0, ++y;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (at + 1 >= data.size()) break;
        x += data[at], y += data[at + 1];
        at += 2;
      } else {
        const std::size_t bytes = four ? (value + 1) / 2 : value;
        if (at + bytes > data.size()) Fail("compressed pixel data cut short");
        for (unsigned k = 0; k < value; ++k)
          put(four ? (k % 2 ? data[at + k / 2] & 15 : data[at + k / 2] >> 4) : data[at + k]);
        at += (bytes + 1) / 2 * 2;  // groups are padded to 16 bits
      }
    }
  }

  std::unique_ptr<TStream> in_;
  std::string name_;
  std::uint32_t dataOffset_ = 0, compression_ = 0;
  int width_ = 0, height_ = 0, bits_ = 0, next_ = 0;
  bool topDown_ = false;
  std::uint64_t stride_ = 0;
  std::vector<std::uint8_t> palette_, row_, unpacked_;
  TChannel red_, green_, blue_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenBmp(const std::string& path) {
  return std::make_unique<TBmpPicture>(std::make_unique<TFileStream>(path, TOpenMode::Read), path);
}

TPixelBuffer DecodeBmp(const std::uint8_t* data, std::size_t size) {
  TBmpPicture bmp(std::make_unique<TMemoryStream>(std::vector<std::uint8_t>(data, data + size)), "bitmap");
  TPixelBuffer out;
  bmp.ReadRows(bmp.Height(), out);
  return out;
}

}  // namespace brelo
