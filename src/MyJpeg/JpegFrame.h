// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What kind of JPEG a stream is, from its frame marker (SOF): baseline, extended sequential,
// progressive, lossless, hierarchical or arithmetic-coded. Read from the stream's first bytes
// only, segment by segment, without decoding anything.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace brelo {

enum class TJpegFrame {
  Baseline,      // SOF0
  Extended,      // SOF1: sequential, Huffman, up to 12 bits
  Progressive,   // SOF2
  Lossless,      // SOF3
  Hierarchical,  // SOF5 to SOF7
  Arithmetic,    // SOF9 to SOF15
  NotJpeg,       // the bytes do not lead to a frame marker
};

const char* JpegFrameName(TJpegFrame frame);

// The frame of a JPEG stream whose bytes are read through read(offset, buffer, count) (it
// returns the bytes it could read); startsAfterSoi: the stream begins after its FF D8 marker,
// as JNX tiles are stored. size limits the walk. Also gives the frame's width and height.
struct TJpegFrameInfo {
  TJpegFrame Frame = TJpegFrame::NotJpeg;
  int Width = 0, Height = 0;
};
// The bytes read first, which hold the frame marker of almost every stream: a caller that has
// them at hand already can serve the first read from memory.
constexpr std::size_t kJpegFrameHeadBytes = 192;
TJpegFrameInfo ReadJpegFrame(const std::function<std::size_t(std::uint64_t, std::uint8_t*, std::size_t)>& read,
                             std::uint64_t size, bool startsAfterSoi);

}  // namespace brelo
