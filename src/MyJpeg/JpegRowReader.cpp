// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/JpegRowReader.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>

#include <jpeglib.h>

#include "MyJpeg/JpegErrorManager.h"
#include "MyJpeg/JpegImage.h"
#include "base/Stream.h"
#include "base/Text.h"

namespace brelo {

struct TJpegRowReader::TState {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  std::FILE* file = nullptr;
  bool created = false;
  // Whatever the constructor got to is released here, on every path.
  ~TState() {
    if (created) jpeg_destroy_decompress(&cinfo);
    if (file) std::fclose(file);
  }
};

std::uint64_t WholePictureDecoderBytes(int width, int height, bool multiScan, int components, const int* h,
                                       const int* v) {
  if (!multiScan || components <= 0) return 0;
  const int maxH = *std::max_element(h, h + components), maxV = *std::max_element(v, v + components);
  std::uint64_t bytes = 0;
  for (int c = 0; c < components; ++c) {
    // Blocks of 8 x 8 coefficients of 2 bytes, for the component's share of the MCU rows.
    const std::uint64_t mcuX = (std::uint64_t(width) + 8 * maxH - 1) / (8 * maxH);
    const std::uint64_t mcuY = (std::uint64_t(height) + 8 * maxV - 1) / (8 * maxV);
    bytes += mcuX * std::uint64_t(h[c]) * mcuY * std::uint64_t(v[c]) * 64 * sizeof(JCOEF);
  }
  return bytes;
}

TJpegRowReader::TJpegRowReader(const std::string& path, std::uint64_t memoryLimit)
    : state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.file = OpenRegularFile(path, "rb");
  InstallErrorManager(s.err);
  s.cinfo.err = &s.err.pub;
  if (setjmp(s.err.jump)) throw EJPEG(s.err.code);
  jpeg_create_decompress(&s.cinfo);
  s.created = true;
  jpeg_stdio_src(&s.cinfo, s.file);
  jpeg_read_header(&s.cinfo, TRUE);
  int h[MAX_COMPONENTS] = {}, v[MAX_COMPONENTS] = {};
  const int n = std::min(s.cinfo.num_components, MAX_COMPONENTS);
  for (int c = 0; c < n; ++c) h[c] = s.cinfo.comp_info[c].h_samp_factor, v[c] = s.cinfo.comp_info[c].v_samp_factor;
  const std::uint64_t whole =
      WholePictureDecoderBytes(static_cast<int>(s.cinfo.image_width), static_cast<int>(s.cinfo.image_height),
                               jpeg_has_multiple_scans(&s.cinfo), n, h, v);
  if (whole > memoryLimit)
    throw EFormatError(
        Format("a progressive JPEG of %u x %u pixels needs %llu MB of decoder memory for the whole "
               "picture, more than the %llu MB it may take",
               s.cinfo.image_width, s.cinfo.image_height, static_cast<unsigned long long>(whole >> 20),
               static_cast<unsigned long long>(memoryLimit >> 20)));
  // The decoder's own count as well: past the limit it fails instead of allocating.
  if (memoryLimit != UINT64_MAX)
    s.cinfo.mem->max_memory_to_use = static_cast<long>(std::min<std::uint64_t>(memoryLimit, LONG_MAX));
  s.cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&s.cinfo);
}

TJpegRowReader::~TJpegRowReader() = default;

int TJpegRowReader::Width() const { return static_cast<int>(state_->cinfo.output_width); }
int TJpegRowReader::Height() const { return static_cast<int>(state_->cinfo.output_height); }

void TJpegRowReader::ReadRows(int rows, TPixelBuffer& band) {
  TState& s = *state_;
  if (band.Width != Width() || band.Height != rows || band.Channels != 3) band = TPixelBuffer(Width(), rows, 3);
  if (setjmp(s.err.jump)) throw EJPEG(s.err.code);
  for (int y = 0; y < rows && s.cinfo.output_scanline < s.cinfo.output_height;) {
    JSAMPROW row = band.Row(y);
    y += static_cast<int>(jpeg_read_scanlines(&s.cinfo, &row, 1));
  }
}

}  // namespace brelo
