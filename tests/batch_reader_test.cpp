// SPDX-License-Identifier: GPL-3.0-or-later
// Scattered reads of one file in one submission give the bytes plain reads give, at the end of
// the file too, and fail with the file's name rather than hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "base/BatchReader.h"
#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/Stream.h"

using namespace brelo;
using namespace brelo::test;

namespace {

std::uint8_t ByteAt(std::uint64_t offset) { return static_cast<std::uint8_t>(offset * 7 + offset / 251); }

}  // namespace

TEST(BatchReader, ScatteredPiecesThroughTheRingAndThePlainWay) {
  TTempDir dir;
  constexpr std::uint64_t kSize = 300'000;
  std::vector<std::uint8_t> bytes(kSize);
  for (std::uint64_t i = 0; i < kSize; ++i) bytes[i] = ByteAt(i);
  WriteFileBytes(dir.Path("data"), bytes.data(), bytes.size());

  for (const bool plain : {false, true}) {
    // More pieces than the ring holds at once, in no order, some across and past the end.
    TBatchReader reader(8, plain);
    if (plain) {
      EXPECT_FALSE(reader.UsesRing());
    }
    std::vector<std::vector<std::uint8_t>> buffers;
    std::vector<TReadPiece> pieces;
    for (std::uint64_t k = 0; k < 150; ++k) {
      const std::uint64_t offset = (k * 104'729) % kSize;
      buffers.emplace_back(192 + k % 50, 0);
      pieces.push_back({offset, buffers.back().data(), static_cast<std::uint32_t>(buffers.back().size()), 77});
    }
    buffers.emplace_back(500, 0);
    pieces.push_back({kSize - 100, buffers.back().data(), 500, 0});
    buffers.emplace_back(10, 0);
    pieces.push_back({kSize + 5, buffers.back().data(), 10, 0});

    TFileStream in(dir.Path("data"), TOpenMode::Read, 4096);
    in.ReadPiecesAt(pieces, reader);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      const TReadPiece& p = pieces[k];
      const std::uint64_t expected = p.Offset >= kSize ? 0 : std::min<std::uint64_t>(p.Size, kSize - p.Offset);
      ASSERT_EQ(p.Got, expected) << "piece " << k << (plain ? " plain" : " ring");
      for (std::uint32_t i = 0; i < p.Got; ++i) ASSERT_EQ(p.Buffer[i], ByteAt(p.Offset + i)) << "piece " << k;
    }
    // The reader serves a second file after the first.
    const std::uint8_t small3[] = {1, 2, 3};
    WriteFileBytes(dir.Path("small"), small3, sizeof small3);
    TFileStream small(dir.Path("small"), TOpenMode::Read, 4096);
    std::uint8_t three[8] = {};
    TReadPiece piece{1, three, 8, 0};
    small.ReadPiecesAt({&piece, 1}, reader);
    EXPECT_EQ(piece.Got, 2u);
    EXPECT_EQ(three[0], 2);
    EXPECT_EQ(three[1], 3);
  }
}

TEST(BatchReader, AFailedReadNamesTheFile) {
  TTempDir dir;
  const int folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  for (const bool plain : {false, true}) {
    TBatchReader reader(4, plain);
    std::uint8_t buffer[16];
    std::vector<TReadPiece> pieces(6, TReadPiece{0, buffer, sizeof buffer, 0});
    try {
      reader.Read(folder, pieces, "the folder");
      ADD_FAILURE() << "a folder read as a file";
    } catch (const EIoError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("the folder: cannot read at offset 0: ", 0), 0u) << e.what();
    }
  }
  ::close(folder);
}
