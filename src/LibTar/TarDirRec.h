// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One TAR archive entry, as the writer encodes it and the reader decodes it.
#include <cstdint>
#include <string>

namespace brelo {

enum class TTarEntryType : std::uint8_t {
  RegularFile = 0,
  HardLink,
  SymbolicLink,
  CharacterDevice,
  BlockDevice,
  Directory,
  Fifo,
  ContiguousFile,
  DumpDirectory,
  MultiVolume,
  VolumeHeader
};

// Permission flags 0..8: owner r w x, group r w x, others r w x.
constexpr std::uint16_t kAllPermissions = 0x1FF;
// Special flags: 0 set-user-id, 1 set-group-id, 2 sticky.

struct TTarDirRec {
  std::string EntryName;
  std::int64_t EntrySize = 0;
  double ModifiedTime = 0;  // days since 1899-12-30, fraction = time of day
  std::uint16_t PermissionBits = 0;
  TTarEntryType EntryType = TTarEntryType::RegularFile;
  std::string LinkTarget;
  std::int32_t OwnerId = 0;
  std::int32_t GroupId = 0;
  std::string OwnerName;
  std::string GroupName;
  bool HeaderChecksumValid = false;
  std::uint8_t SpecialBits = 0;
  std::string MagicText;
  std::int32_t DeviceMajor = 0;
  std::int32_t DeviceMinor = 0;
  std::int64_t HeaderPosition = 0;
};

constexpr std::size_t kTarBlockSize = 512;
// Fields of a header block beyond those of TTarDirRec's own layout.
constexpr std::size_t kTarTypeOffset = 156, kTarMagicOffset = 257, kTarPrefixOffset = 345, kTarPrefixSize = 155;
// The largest GNU long-name or POSIX extended header read.
constexpr std::int64_t kMaxExtendedHeader = 1 << 20;
constexpr std::size_t kTarNameSize = 100;       // bytes of the name field; no terminator needed when full
constexpr double kUnixEpochDateTime = 25569.0;  // 1970-01-01 as a date-time value

// Date-time value of a Unix time, and the current local date and time.
double DateTimeFromUnix(std::int64_t seconds);
double NowDateTime();

}  // namespace brelo
