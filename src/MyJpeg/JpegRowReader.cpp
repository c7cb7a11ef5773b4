#include "MyJpeg/JpegRowReader.h"

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include <jpeglib.h>

#include "MyJpeg/JpegErrorManager.h"
#include "MyJpeg/JpegImage.h"

namespace brelo {


struct TJpegRowReader::TState {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  std::FILE* file = nullptr;
  bool created = false;
};

TJpegRowReader::TJpegRowReader(const std::string& path) : state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.file = std::fopen(path.c_str(), "rb");
  if (!s.file) throw EIoError(path + ": cannot open: " + std::strerror(errno));
  InstallErrorManager(s.err);
  s.cinfo.err = &s.err.pub;
  if (setjmp(s.err.jump)) {
    int code = s.err.code;
    jpeg_destroy_decompress(&s.cinfo);
    s.created = false;
    throw EJPEG(code);
  }
  jpeg_create_decompress(&s.cinfo);
  s.created = true;
  jpeg_stdio_src(&s.cinfo, s.file);
  jpeg_read_header(&s.cinfo, TRUE);
  s.cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&s.cinfo);
}

TJpegRowReader::~TJpegRowReader() {
  if (state_->created) jpeg_destroy_decompress(&state_->cinfo);
  if (state_->file) std::fclose(state_->file);
}

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
