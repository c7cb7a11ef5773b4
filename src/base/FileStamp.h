// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a file looked like when it was read: enough to tell later whether the file under that
// name is still the one that was read (not replaced, changed or removed by someone else).
#include <cstdint>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace brelo {

struct TFileStamp {
  std::uint64_t Device = 0, Inode = 0, Size = 0;
  std::int64_t ModifiedNs = 0;
  std::vector<std::uint8_t> Head;  // the file's first bytes as read

  bool Empty() const { return Inode == 0 && Device == 0 && Size == 0 && Head.empty(); }
  bool operator==(const TFileStamp&) const = default;
};

// The stamp of an open file, with its first headBytes bytes (fewer when the file is shorter);
// the stream's position is left where it was.
TFileStamp StampOf(TFileStream& file, std::size_t headBytes);
// The same for a file by name; raises EIoError when it cannot be opened.
TFileStamp StampOf(const std::string& path, std::size_t headBytes);

}  // namespace brelo
