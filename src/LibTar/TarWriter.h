// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a classic 512-byte-block TAR archive ("ustar" magic, no compression). The archive
// ends with exactly one zero block, written once by WriteEndOfArchive, Close or the
// destructor. A writer destroyed by an exception writes no end block, and an archive file it
// was writing is discarded: an earlier file of that name stays as it was.
#include <memory>
#include <string>
#include <vector>

#include "LibTar/TarDirRec.h"
#include "base/SafeFile.h"
#include "base/Stream.h"

namespace brelo {

class TTarWriter {
 public:
  // Creates the archive file, which replaces an earlier one on Close.
  explicit TTarWriter(const std::string& path);
  // Writes into a stream the caller owns.
  explicit TTarWriter(TStream& stream);
  ~TTarWriter();
  TTarWriter(const TTarWriter&) = delete;
  TTarWriter& operator=(const TTarWriter&) = delete;

  // A file from disk; the archive name (default: the path) has every "\" turned into "/".
  void WriteFileEntry(const std::string& path, const std::string& archiveName = "");
  // A regular file whose data is the stream from its position to its end.
  void WriteStreamEntry(TStream& data, const std::string& archiveName, double modifiedTime);
  // A regular file whose data is the given bytes.
  void WriteBytesEntry(const std::vector<std::uint8_t>& data, const std::string& archiveName, double modifiedTime);
  // A directory entry; the name is stored unchanged and no data blocks follow.
  void WriteDirectoryEntry(const std::string& archiveName, std::int64_t size, double modifiedTime);
  void WriteEndOfArchive();
  // Writes the end block if needed and puts an owned file in place, raising EIoError on failure.
  void Close();
  // The file being written until Close (a temporary name beside the archive); "" for a stream.
  const std::string& FilePath() const;

  // Defaults for new entries.
  std::uint16_t PermissionBits = kAllPermissions;
  std::int32_t OwnerId = 0, GroupId = 0;
  std::string OwnerName, GroupName;
  std::uint8_t SpecialBits = 0;
  std::string MagicText = "ustar";

 private:
  TTarDirRec NewRecord(const std::string& name, TTarEntryType type, std::int64_t size, double time) const;
  std::unique_ptr<TSafeFile> owned_;
  TStream* out_;
  bool finished_ = false;
  int exceptionsAtStart_;
};

}  // namespace brelo
