// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibTar/TarWriter.h"

#include <exception>

#include <sys/stat.h>

#include "LibTar/TarHeader.h"
#include "base/Errors.h"

namespace brelo {

TTarWriter::TTarWriter(const std::string& path)
    : owned_(std::make_unique<TSafeFile>(path)),
      out_(&owned_->Stream()),
      exceptionsAtStart_(std::uncaught_exceptions()) {}

TTarWriter::TTarWriter(TStream& stream) : out_(&stream), exceptionsAtStart_(std::uncaught_exceptions()) {}

TTarWriter::~TTarWriter() {
  // Unwinding: the archive is incomplete and must not end as if it were whole.
  if (std::uncaught_exceptions() > exceptionsAtStart_) return;
  try {
    Close();
  } catch (...) {
  }
}

TTarDirRec TTarWriter::NewRecord(const std::string& name, TTarEntryType type, std::int64_t size, double time) const {
  // A longer name would be cut, and names sharing their first 100 bytes would overwrite each
  // other on extraction.
  if (name.size() > kTarNameSize)
    throw EFormatError("\"" + name + "\": the name has " + std::to_string(name.size()) + " bytes, more than the " +
                       std::to_string(kTarNameSize) + " a TAR header holds");
  TTarDirRec rec;
  rec.EntryName = name;
  rec.EntrySize = size;
  rec.ModifiedTime = time;
  rec.PermissionBits = PermissionBits;
  rec.EntryType = type;
  rec.OwnerId = OwnerId;
  rec.GroupId = GroupId;
  rec.OwnerName = OwnerName;
  rec.GroupName = GroupName;
  rec.SpecialBits = SpecialBits;
  rec.MagicText = MagicText;
  return rec;
}

void TTarWriter::WriteFileEntry(const std::string& path, const std::string& archiveName) {
  std::string name = archiveName.empty() ? path : archiveName;
  for (char& c : name)
    if (c == '\\') c = '/';
  double time = 0;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) time = DateTimeFromUnix(st.st_mtime);
  TFileStream in(path, TOpenMode::Read);
  WriteStreamEntry(in, name, time);
}

void TTarWriter::WriteStreamEntry(TStream& data, const std::string& archiveName, double modifiedTime) {
  const std::uint64_t start = data.Position(), size = data.Size();
  const std::int64_t length = size > start ? static_cast<std::int64_t>(size - start) : 0;
  TTarBlock header = EncodeTarHeader(NewRecord(archiveName, TTarEntryType::RegularFile, length, modifiedTime));
  out_->Write(header.data(), header.size());
  std::int64_t left = length;
  TTarBlock block;
  while (left > 0) {
    block.fill(0);
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(left, kTarBlockSize));
    data.ReadExact(block.data(), chunk, archiveName.c_str());
    out_->Write(block.data(), block.size());
    left -= static_cast<std::int64_t>(chunk);
  }
}

void TTarWriter::WriteBytesEntry(const std::vector<std::uint8_t>& data, const std::string& archiveName,
                                 double modifiedTime) {
  TTarBlock header = EncodeTarHeader(
      NewRecord(archiveName, TTarEntryType::RegularFile, static_cast<std::int64_t>(data.size()), modifiedTime));
  out_->Write(header.data(), header.size());
  out_->Write(data.data(), data.size());
  const std::size_t padding = (kTarBlockSize - data.size() % kTarBlockSize) % kTarBlockSize;
  const TTarBlock zero{};
  out_->Write(zero.data(), padding);
}

void TTarWriter::WriteDirectoryEntry(const std::string& archiveName, std::int64_t size, double modifiedTime) {
  TTarBlock header = EncodeTarHeader(NewRecord(archiveName, TTarEntryType::Directory, size, modifiedTime));
  out_->Write(header.data(), header.size());
}

void TTarWriter::WriteEndOfArchive() {
  if (finished_) return;
  // Two zero blocks, as POSIX asks: GNU tar warns of "a lone zero block" otherwise.
  TTarBlock zero{};
  out_->Write(zero.data(), zero.size());
  out_->Write(zero.data(), zero.size());
  finished_ = true;
}

const std::string& TTarWriter::FilePath() const {
  static const std::string none;
  return owned_ ? owned_->TemporaryPath() : none;
}

void TTarWriter::Close() {
  WriteEndOfArchive();
  if (owned_) {
    owned_->Commit();
    owned_.reset();
  }
}

}  // namespace brelo
