// SPDX-License-Identifier: GPL-3.0-or-later
#include "RawJpeg.h"

#include <cstdlib>

namespace brelo::bench {

TRawJpeg::TRawJpeg() {
  d_.err = jpeg_std_error(&de_);
  jpeg_create_decompress(&d_);
  c_.err = jpeg_std_error(&ce_);
  jpeg_create_compress(&c_);
}

TRawJpeg::~TRawJpeg() {
  jpeg_destroy_decompress(&d_);
  jpeg_destroy_compress(&c_);
}

void TRawJpeg::Decode(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>& rgb, int& width, int& height) {
  jpeg_mem_src(&d_, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&d_, TRUE);
  d_.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d_);
  width = static_cast<int>(d_.output_width), height = static_cast<int>(d_.output_height);
  rgb.resize(static_cast<std::size_t>(width) * height * 3);
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<std::size_t>(y)] = rgb.data() + static_cast<std::size_t>(y) * width * 3;
  while (d_.output_scanline < d_.output_height)
    jpeg_read_scanlines(&d_, rows.data() + d_.output_scanline, d_.output_height - d_.output_scanline);
  jpeg_finish_decompress(&d_);
}

void TRawJpeg::Encode(const std::vector<std::uint8_t>& rgb, int width, int height, int quality,
                      std::vector<std::uint8_t>& out) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c_, &buffer, &size);
  c_.image_width = static_cast<JDIMENSION>(width);
  c_.image_height = static_cast<JDIMENSION>(height);
  c_.input_components = 3;
  c_.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c_);
  jpeg_set_quality(&c_, quality, TRUE);
  jpeg_start_compress(&c_, TRUE);
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<std::size_t>(y)] = const_cast<JSAMPLE*>(rgb.data() + static_cast<std::size_t>(y) * width * 3);
  while (c_.next_scanline < c_.image_height)
    jpeg_write_scanlines(&c_, rows.data() + c_.next_scanline, c_.image_height - c_.next_scanline);
  jpeg_finish_compress(&c_);
  out.assign(buffer, buffer + size);
  std::free(buffer);
}

}  // namespace brelo::bench
