// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibTar/TarArchive.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "LibTar/TarHeader.h"
#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/Text.h"

namespace brelo {

namespace {
std::uint64_t RoundUpToBlock(std::uint64_t n) { return (n + kTarBlockSize - 1) / kTarBlockSize * kTarBlockSize; }

bool HasData(TTarEntryType t) {
  switch (t) {
    case TTarEntryType::HardLink:
    case TTarEntryType::SymbolicLink:
    case TTarEntryType::Directory:
    case TTarEntryType::Fifo:
    case TTarEntryType::VolumeHeader: return false;
    default: return true;
  }
}
// Records "LENGTH key=value\n" of a POSIX extended header.
void ParsePaxRecords(const std::string& data, std::map<std::string, std::string>& out) {
  std::size_t at = 0;
  while (at < data.size()) {
    const std::size_t space = data.find(' ', at);
    if (space == std::string::npos) break;
    const long long length = std::strtoll(data.c_str() + at, nullptr, 10);
    if (length <= 0 || at + static_cast<std::size_t>(length) > data.size()) break;
    const std::string record = data.substr(space + 1, at + static_cast<std::size_t>(length) - space - 2);
    const std::size_t eq = record.find('=');
    if (eq != std::string::npos) out[record.substr(0, eq)] = record.substr(eq + 1);
    at += static_cast<std::size_t>(length);
  }
}

}  // namespace

TTarArchive::TTarArchive(const std::string& path)
    : owned_(std::make_unique<TFileStream>(path, TOpenMode::Read)), in_(owned_.get()) {
  Rewind();
}

TTarArchive::TTarArchive(TStream& stream) : in_(&stream) { Rewind(); }

void TTarArchive::Rewind() {
  in_->Seek(0);
  remaining_ = 0;
  dataEnd_ = 0;
}

void TTarArchive::SkipPadding() {
  if (dataEnd_ > in_->Position()) in_->Seek(dataEnd_);
  remaining_ = 0;
}

bool TTarArchive::NextEntry(TTarDirRec& rec) {
  // What the headers of other tools say of the next entry: a GNU long name or link, and the
  // records of a POSIX extended header. They are never entries of their own.
  std::string longName, longLink;
  std::map<std::string, std::string> pax;
  for (;;) {
    if (remaining_ > 0) SkipPadding();
    const std::uint64_t position = in_->Position();
    TTarBlock block;
    if (in_->Read(block.data(), block.size()) != block.size() || block[0] == 0) return false;
    DecodeTarHeader(block, rec);
    rec.HeaderPosition = static_cast<std::int64_t>(position);
    const char type = static_cast<char>(block[kTarTypeOffset]);
    if (type == 'L' || type == 'K' || type == 'x' || type == 'g') {
      if (rec.EntrySize < 0 || rec.EntrySize > kMaxExtendedHeader)
        throw EFormatError(Format("archive header at offset %llu: an extended header of %lld bytes",
                                  static_cast<unsigned long long>(position), static_cast<long long>(rec.EntrySize)));
      remaining_ = static_cast<std::uint64_t>(rec.EntrySize);
      dataEnd_ = in_->Position() + RoundUpToBlock(remaining_);
      std::string data;
      ExtractToString(data);
      if (type == 'L') longName = data.substr(0, data.find('\0'));
      if (type == 'K') longLink = data.substr(0, data.find('\0'));
      if (type == 'x') ParsePaxRecords(data, pax);
      continue;  // 'g': global records, for the whole archive
    }
    // A POSIX ustar name may be split into a prefix and the name.
    if (std::equal(block.begin() + kTarMagicOffset, block.begin() + kTarMagicOffset + 6, "ustar\0")) {
      const auto* prefix = reinterpret_cast<const char*>(block.data() + kTarPrefixOffset);
      const std::string p(prefix, strnlen(prefix, kTarPrefixSize));
      if (!p.empty()) rec.EntryName = p + "/" + rec.EntryName;
    }
    if (!longName.empty()) rec.EntryName = longName;
    if (!longLink.empty()) rec.LinkTarget = longLink;
    if (auto it = pax.find("path"); it != pax.end()) rec.EntryName = it->second;
    if (auto it = pax.find("linkpath"); it != pax.end()) rec.LinkTarget = it->second;
    if (auto it = pax.find("size"); it != pax.end()) rec.EntrySize = std::strtoll(it->second.c_str(), nullptr, 10);
    remaining_ = HasData(rec.EntryType) && rec.EntrySize > 0 ? static_cast<std::uint64_t>(rec.EntrySize) : 0;
    dataEnd_ = in_->Position() + RoundUpToBlock(remaining_);
    return true;
  }
}

void TTarArchive::ExtractToStream(TStream& dest) {
  if (remaining_ == 0) return;
  const std::uint64_t available = in_->Size();
  const std::uint64_t here = in_->Position();
  if (here + remaining_ > available)
    throw EIoError("archive entry data cut short at offset " + std::to_string(here) + ": " +
                   std::to_string(remaining_) + " bytes announced, " + std::to_string(available - here) + " present");
  in_->CopyTo(dest, remaining_, "archive entry data");
  SkipPadding();
}

void TTarArchive::ExtractToFile(const std::string& path) {
  TSafeFile file(path);
  ExtractToStream(file.Stream());
  file.Commit();
}

void TTarArchive::ExtractToString(std::string& text) {
  TMemoryStream buffer;
  ExtractToStream(buffer);
  text.assign(buffer.Data().begin(), buffer.Data().end());
}

}  // namespace brelo
