// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a TAR archive entry by entry. The listing ends at the first block whose first byte
// is zero, or at the end of the file.
#include <memory>
#include <string>

#include "LibTar/TarDirRec.h"
#include "base/Stream.h"

namespace brelo {

class TTarArchive {
 public:
  explicit TTarArchive(const std::string& path);
  explicit TTarArchive(TStream& stream);  // not owned

  void Rewind();
  // Fills rec with the next entry's header; false at the end of the archive.
  bool NextEntry(TTarDirRec& rec);
  // Copies the data of the entry last returned by NextEntry and moves past its padding.
  // Data cut short raises EIoError.
  void ExtractToStream(TStream& dest);
  void ExtractToFile(const std::string& path);
  void ExtractToString(std::string& text);

 private:
  void SkipPadding();
  std::unique_ptr<TFileStream> owned_;
  TStream* in_;
  std::uint64_t remaining_ = 0;  // data bytes of the current entry not yet read
  std::uint64_t dataEnd_ = 0;    // end of the current entry's last block
};

}  // namespace brelo
