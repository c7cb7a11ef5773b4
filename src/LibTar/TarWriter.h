#pragma once
// Writes a classic 512-byte-block TAR archive ("ustar" magic, no compression). The archive
// ends with exactly one zero block, written once by WriteEndOfArchive or the destructor.
#include <memory>
#include <string>
#include <vector>

#include "LibTar/TarDirRec.h"
#include "jnx/Stream.h"

namespace brelo {

class TTarWriter {
 public:
  // Creates (replaces) the archive file.
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
  // Writes the end block if needed and closes an owned file, raising EIoError on failure.
  void Close();

  // Defaults for new entries.
  std::uint16_t PermissionBits = kAllPermissions;
  std::int32_t OwnerId = 0, GroupId = 0;
  std::string OwnerName, GroupName;
  std::uint8_t SpecialBits = 0;
  std::string MagicText = "ustar";

 private:
  TTarDirRec NewRecord(const std::string& name, TTarEntryType type, std::int64_t size, double time) const;
  std::unique_ptr<TFileStream> owned_;
  TStream* out_;
  bool finished_ = false;
};

}  // namespace brelo
