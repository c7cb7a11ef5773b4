// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileStamp.h"

#include <algorithm>

namespace brelo {

TFileStamp StampOf(TFileStream& file, std::size_t headBytes) {
  TFileStamp s;
  const TFileIdentity id = file.Identity();
  s.Device = id.Device;
  s.Inode = id.Inode;
  s.Size = id.Size;
  s.ModifiedNs = id.ModifiedNs;
  const std::uint64_t at = file.Position();
  s.Head.resize(static_cast<std::size_t>(std::min<std::uint64_t>(headBytes, s.Size)));
  file.Seek(0);
  file.ReadExact(s.Head.data(), s.Head.size(), "the file's header");
  file.Seek(at);
  return s;
}

TFileStamp StampOf(const std::string& path, std::size_t headBytes) {
  TFileStream in(path, TOpenMode::Read, 4096);
  return StampOf(in, headBytes);
}

}  // namespace brelo
