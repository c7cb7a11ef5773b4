// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/JpegFrame.h"

#include <vector>

namespace brelo {

const char* JpegFrameName(TJpegFrame frame) {
  switch (frame) {
    case TJpegFrame::Baseline: return "baseline";
    case TJpegFrame::Extended: return "extended sequential";
    case TJpegFrame::Progressive: return "progressive";
    case TJpegFrame::Lossless: return "lossless";
    case TJpegFrame::Hierarchical: return "hierarchical";
    case TJpegFrame::Arithmetic: return "arithmetic-coded";
    case TJpegFrame::NotJpeg: break;
  }
  return "not a JPEG";
}

TJpegFrameInfo ReadJpegFrame(const std::function<std::size_t(std::uint64_t, std::uint8_t*, std::size_t)>& read,
                             std::uint64_t size, bool startsAfterSoi) {
  TJpegFrameInfo info;
  // The first bytes hold the frame marker of almost every tile; further segments are
  // reached by their lengths, a few bytes each.
  std::uint8_t head[kJpegFrameHeadBytes];
  const std::size_t got = read(0, head, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof head, size)));
  std::uint64_t at = 0;
  if (!startsAfterSoi) {
    if (got < 2 || head[0] != 0xFF || head[1] != 0xD8) return info;
    at = 2;
  }
  auto bytesAt = [&](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
    if (offset + n <= got) {
      std::copy_n(head + offset, n, out);
      return true;
    }
    return offset + n <= size && read(offset, out, n) == n;
  };
  for (int segments = 0; segments < 256; ++segments) {
    std::uint8_t marker[4];
    if (!bytesAt(at, marker, 4) || marker[0] != 0xFF) return info;
    const std::uint8_t m = marker[1];
    const std::uint16_t length = static_cast<std::uint16_t>(marker[2] << 8 | marker[3]);
    if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
      std::uint8_t frame[5];
      if (bytesAt(at + 4, frame, 5)) {
        info.Height = frame[1] << 8 | frame[2];
        info.Width = frame[3] << 8 | frame[4];
      }
      info.Frame = m == 0xC0   ? TJpegFrame::Baseline
                   : m == 0xC1 ? TJpegFrame::Extended
                   : m == 0xC2 ? TJpegFrame::Progressive
                   : m == 0xC3 ? TJpegFrame::Lossless
                   : m <= 0xC7 ? TJpegFrame::Hierarchical
                               : TJpegFrame::Arithmetic;
      return info;
    }
    // Markers without a length (fill bytes, restart markers) do not come before the frame.
    if (m == 0xFF || m == 0xD8 || m == 0xD9 || m == 0xDA || length < 2) return info;
    at += 2 + std::uint64_t(length);
  }
  return info;
}

}  // namespace brelo
