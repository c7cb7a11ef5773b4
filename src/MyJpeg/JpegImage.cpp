// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/JpegImage.h"

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "MyJpeg/JpegErrorManager.h"
#include "base/SafeFile.h"
#include "base/Text.h"

namespace brelo {

namespace {

// Destination appending to a std::vector.
struct TVectorDestination {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* out;
  std::size_t start;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDestination*>(cinfo->dest);
  d->start = d->out->size();
  d->out->resize(d->start + 65536);
  d->pub.next_output_byte = d->out->data() + d->start;
  d->pub.free_in_buffer = 65536;
}

boolean GrowDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDestination*>(cinfo->dest);
  std::size_t used = d->out->size();
  d->out->resize(used * 2);
  d->pub.next_output_byte = d->out->data() + used;
  d->pub.free_in_buffer = d->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDestination*>(cinfo->dest);
  d->out->resize(d->out->size() - d->pub.free_in_buffer);
}

// One decompressor per thread, reused for every image: creating one costs more than reading
// the header of a small tile. jpeg_abort_decompress returns it to its idle state after each
// use, an error included.
struct TDecoder {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  // The load whose header the decompressor holds, ready to decode; 0 for none.
  std::uint64_t primed = 0;
  TDecoder() {
    InstallErrorManager(err);
    cinfo.err = &err.pub;
    jpeg_create_decompress(&cinfo);
  }
  ~TDecoder() { jpeg_destroy_decompress(&cinfo); }
};

TDecoder& ThreadDecoder() {
  thread_local TDecoder decoder;
  return decoder;
}

struct THeaderInfo {
  int width = 0, height = 0;
  bool gray = false, progressive = false;
};

// Returns 0 or the libjpeg message code.
// Returns 0 or the libjpeg message code. The decompressor is left holding the header, so that
// decoding the same load next on this thread need not read it again.
int ReadHeader(const std::vector<std::uint8_t>& bytes, std::uint64_t load, THeaderInfo& info) {
  TDecoder& d = ThreadDecoder();
  jpeg_decompress_struct& cinfo = d.cinfo;
  d.err.code = 0;
  d.primed = 0;
  if (setjmp(d.err.jump)) {
    jpeg_abort_decompress(&cinfo);
    return d.err.code ? d.err.code : -1;
  }
  jpeg_abort_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  info.width = static_cast<int>(cinfo.image_width);
  info.height = static_cast<int>(cinfo.image_height);
  info.gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  info.progressive = jpeg_has_multiple_scans(&cinfo);
  d.primed = load;
  return 0;
}

// Decodes into out; returns 0 or the libjpeg message code; -2 when the image is too large.
int DecodeInto(const std::vector<std::uint8_t>& bytes, std::uint64_t load, TDecodeScale scale, bool gray, bool canvas,
               TPixelBuffer& out) {
  TDecoder& d = ThreadDecoder();
  jpeg_decompress_struct& cinfo = d.cinfo;
  d.err.code = 0;
  // Primed for this load and still reading this very buffer (a copied image has its own).
  const bool primed = load != 0 && d.primed == load && cinfo.src &&
                      cinfo.src->next_input_byte + cinfo.src->bytes_in_buffer == bytes.data() + bytes.size() &&
                      cinfo.src->next_input_byte >= bytes.data();
  d.primed = 0;
  JSAMPROW* volatile rows = nullptr;
  if (setjmp(d.err.jump)) {
    jpeg_abort_decompress(&cinfo);
    std::free(rows);
    return d.err.code ? d.err.code : -1;
  }
  if (!primed) {
    jpeg_abort_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
  }
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1u << static_cast<int>(scale);
  cinfo.out_color_space = canvas ? JCS_EXT_BGRX : gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_calc_output_dimensions(&cinfo);
  if (std::uint64_t(cinfo.output_width) * cinfo.output_height > kMaxDecodedPixels) {
    jpeg_abort_decompress(&cinfo);
    return -2;
  }
  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
  const int channels = cinfo.output_components;
  if (out.Width != width || out.Height != height || out.Channels != channels ||
      out.Data.size() != static_cast<std::size_t>(width) * height * channels)
    out = TPixelBuffer(width, height, channels);
  rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * (height > 0 ? height : 1)));
  for (int y = 0; y < height; ++y) rows[y] = out.Row(y);
  // The rows are contiguous and top-down, so the decoder fills several per call.
  while (cinfo.output_scanline < cinfo.output_height) {
    JDIMENSION line = cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, rows + line, cinfo.output_height - line);
  }
  jpeg_finish_decompress(&cinfo);
  std::free(rows);
  return 0;
}

// One compressor per thread, reused like the decompressor.
struct TEncoder {
  jpeg_compress_struct cinfo;
  TJpegErrorManager err;
  TEncoder() {
    InstallErrorManager(err);
    cinfo.err = &err.pub;
    jpeg_create_compress(&cinfo);
  }
  ~TEncoder() { jpeg_destroy_compress(&cinfo); }
};

int EncodeFrom(const TPixelView& pixels, int quality, bool gray, bool progressive, bool fullChroma,
               std::vector<std::uint8_t>& out) {
  thread_local TEncoder encoder;
  jpeg_compress_struct& cinfo = encoder.cinfo;
  encoder.err.code = 0;
  TVectorDestination dest;
  std::size_t startSize = out.size();
  JSAMPROW* volatile rows = nullptr;
  if (setjmp(encoder.err.jump)) {
    jpeg_abort_compress(&cinfo);
    std::free(rows);
    out.resize(startSize);
    return encoder.err.code ? encoder.err.code : -1;
  }
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = GrowDestination;
  dest.pub.term_destination = TermDestination;
  dest.out = &out;
  cinfo.dest = &dest.pub;
  cinfo.image_width = static_cast<JDIMENSION>(pixels.Width);
  cinfo.image_height = static_cast<JDIMENSION>(pixels.Height);
  cinfo.input_components = pixels.Channels;
  cinfo.in_color_space = pixels.Channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (gray && pixels.Channels == 3) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  if (progressive) jpeg_simple_progression(&cinfo);
  if (fullChroma && cinfo.num_components == 3) cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * pixels.Height));
  for (int y = 0; y < pixels.Height; ++y) rows[y] = const_cast<JSAMPLE*>(pixels.Row(y));
  while (cinfo.next_scanline < cinfo.image_height) {
    JDIMENSION line = cinfo.next_scanline;
    jpeg_write_scanlines(&cinfo, rows + line, cinfo.image_height - line);
  }
  jpeg_finish_compress(&cinfo);
  cinfo.dest = nullptr;
  std::free(rows);
  return 0;
}

[[noreturn]] void RaiseCode(int code) {
  if (code == -2) throw EFormatError("JPEG image too large to decode");
  throw EJPEG(code);
}

}  // namespace

EJPEG::EJPEG(int code) : EFormatError(Format("JPEG error #%d", code)), Code(code) {}

int ScaledSize(int v, TDecodeScale scale) {
  int d = 1 << static_cast<int>(scale);
  return (v + d - 1) / d;
}

void TJpegImage::LoadFromBytes(std::vector<std::uint8_t> bytes) {
  source_ = std::move(bytes);
  decoded_ = false;
  THeaderInfo info;
  static std::atomic<std::uint64_t> loads{0};
  load_ = ++loads;
  if (int code = ReadHeader(source_, load_, info)) {
    source_.clear();
    pixels_ = TPixelBuffer();
    empty_ = true;
    RaiseCode(code);
  }
  GrayOutput = info.gray;
  WriteProgressive = info.progressive;
  // Sized to the header's sizes; the pixels themselves are allocated by decoding.
  pixels_ = TPixelBuffer();
  pixels_.Width = info.width;
  pixels_.Height = info.height;
  pixels_.Channels = info.gray ? 1 : 3;
  empty_ = false;
}

void TJpegImage::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  stream.Seek(0);
  stream.ReadExact(bytes.data(), bytes.size(), "JPEG stream");
  LoadFromBytes(std::move(bytes));
}

void TJpegImage::LoadFromFile(const std::string& path) { LoadFromBytes(ReadFileBytes(path)); }

void TJpegImage::Decode() {
  if (decoded_ || source_.empty()) return;
  if (int code = DecodeInto(source_, load_, DecodeScale, GrayOutput, CanvasOutput, pixels_)) RaiseCode(code);
  source_.clear();
  source_.shrink_to_fit();
  decoded_ = true;
  empty_ = false;
}

const TPixelBuffer& TJpegImage::Pixels() {
  Decode();
  return pixels_;
}

TPixelBuffer TJpegImage::TakePixels() {
  Decode();
  empty_ = true;
  decoded_ = false;
  return std::move(pixels_);
}

void TJpegImage::Assign(const TPixelBuffer& bitmap) { Assign(TPixelBuffer(bitmap)); }

void TJpegImage::Assign(TPixelBuffer&& bitmap) {
  pixels_ = std::move(bitmap);
  source_.clear();
  decoded_ = true;
  empty_ = false;
}

void TJpegImage::Clear() {
  pixels_ = TPixelBuffer();
  source_.clear();
  decoded_ = false;
  empty_ = true;
}

void EncodeJpeg(const TPixelView& pixels, int quality, bool grayscale, bool progressive, std::vector<std::uint8_t>& out,
                bool fullChroma) {
  if (pixels.Empty()) return;
  if (int code = EncodeFrom(pixels, quality, grayscale, progressive, fullChroma, out)) RaiseCode(code);
}

void EncodeJpeg(const TPixelBuffer& pixels, int quality, bool grayscale, bool progressive,
                std::vector<std::uint8_t>& out, bool fullChroma) {
  EncodeJpeg(pixels.View(), quality, grayscale, progressive, out, fullChroma);
}

std::vector<std::uint8_t> TJpegImage::SaveToBytes() {
  Decode();
  std::vector<std::uint8_t> out;
  if (!empty_) EncodeJpeg(pixels_, Quality, GrayOutput, WriteProgressive, out);
  return out;
}

void TJpegImage::SaveToStream(TStream& stream) {
  std::vector<std::uint8_t> out = SaveToBytes();
  stream.Write(out.data(), out.size());
}

void TJpegImage::SaveToFile(const std::string& path) {
  std::vector<std::uint8_t> out = SaveToBytes();
  WriteFileBytes(path, out.data(), out.size());
}

}  // namespace brelo
