// Windows bitmaps: BITMAPFILEHEADER and BITMAPINFOHEADER (or larger), uncompressed 8-bit
// palette, 24-bit and 32-bit pixels (BI_RGB, or BI_BITFIELDS with the standard masks),
// bottom-up or top-down rows.
#include <cstring>
#include <vector>

#include "jnx/Errors.h"
#include "jnx/Stream.h"
#include "jnx/StreamHelpers.h"
#include "jnx/Text.h"
#include "uMapCreation/PictureReader.h"

namespace brelo {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;

class TBmpPicture : public TPictureReader {
 public:
  TBmpPicture(std::unique_ptr<TStream> stream, const std::string& name) : in_(std::move(stream)), name_(name) {
    std::uint8_t head[kFileHeaderSize + 40];
    if (in_->Read(head, sizeof head) != sizeof head || head[0] != 'B' || head[1] != 'M')
      Fail("not a Windows bitmap");
    dataOffset_ = LoadUInt32(head + 10);
    const std::uint32_t infoSize = LoadUInt32(head + 14);
    const std::int32_t width = LoadInt32(head + 18), height = LoadInt32(head + 22);
    bits_ = LoadInt16(head + 28);
    const std::uint32_t compression = LoadUInt32(head + 30);
    std::uint32_t colours = LoadUInt32(head + 46);
    if (infoSize < 40) Fail("unsupported bitmap header");
    if (width <= 0 || width > 1000000 || height == 0 || height < -1000000 || height > 1000000)
      Fail(Format("bad bitmap size %d x %d", width, height));
    if (!(compression == 0 || (compression == 3 && bits_ == 32)))
      Fail(Format("compressed bitmaps (compression %u) are not supported", compression));
    if (bits_ != 8 && bits_ != 24 && bits_ != 32) Fail(Format("%d-bit bitmaps are not supported", bits_));
    width_ = width;
    topDown_ = height < 0;
    height_ = topDown_ ? -height : height;
    stride_ = (static_cast<std::uint64_t>(width_) * bits_ / 8 + 3) / 4 * 4;
    if (bits_ == 8) {
      if (colours == 0 || colours > 256) colours = 256;
      palette_.assign(256 * 4, 0);
      in_->Seek(kFileHeaderSize + infoSize);
      in_->Read(palette_.data(), colours * 4);
    }
    const std::uint64_t size = in_->Size();
    if (dataOffset_ + stride_ * static_cast<std::uint64_t>(height_) > size) Fail("pixel data cut short");
    row_.resize(static_cast<std::size_t>(stride_));
  }

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void ReadRows(int rows, TPixelBuffer& band) override {
    if (band.Width != width_ || band.Height != rows || band.Channels != 3) band = TPixelBuffer(width_, rows, 3);
    for (int y = 0; y < rows && next_ < height_; ++y, ++next_) {
      const int fileRow = topDown_ ? next_ : height_ - 1 - next_;
      in_->Seek(dataOffset_ + stride_ * static_cast<std::uint64_t>(fileRow));
      in_->ReadExact(row_.data(), row_.size(), "bitmap row");
      std::uint8_t* out = band.Row(y);
      for (int x = 0; x < width_; ++x, out += 3) {
        const std::uint8_t* p;
        if (bits_ == 8)
          p = palette_.data() + 4 * row_[static_cast<std::size_t>(x)];
        else
          p = row_.data() + static_cast<std::size_t>(x) * (bits_ / 8);
        out[0] = p[2];  // stored blue, green, red
        out[1] = p[1];
        out[2] = p[0];
      }
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) { throw EFormatError(name_ + ": " + what); }

  std::unique_ptr<TStream> in_;
  std::string name_;
  std::uint32_t dataOffset_ = 0;
  int width_ = 0, height_ = 0, bits_ = 0, next_ = 0;
  bool topDown_ = false;
  std::uint64_t stride_ = 0;
  std::vector<std::uint8_t> palette_, row_;
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
