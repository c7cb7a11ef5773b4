// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibTar/TarHeader.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

namespace brelo {

namespace {

constexpr std::size_t kName = 0, kMode = 100, kUid = 108, kGid = 116, kSize = 124, kMtime = 136, kChecksum = 148,
                      kType = 156, kLink = 157, kMagic = 257, kUser = 265, kGroup = 297, kMajor = 329, kMinor = 337;
constexpr std::size_t kChecksumEnd = 345;

void PutText(TTarBlock& b, std::size_t at, std::size_t width, const std::string& text) {
  std::memcpy(b.data() + at, text.data(), std::min(width, text.size()));
}

// 8-byte field: 6 octal digits (leading zeros among the first 5 as blanks), blank, zero byte.
void PutOctal8(TTarBlock& b, std::size_t at, std::uint64_t value) {
  value &= 0777777;
  for (int i = 5; i >= 0; --i) {
    b[at + i] = static_cast<std::uint8_t>('0' + (value & 7));
    value >>= 3;
  }
  for (int i = 0; i < 5 && b[at + i] == '0'; ++i) b[at + i] = ' ';
  b[at + 6] = ' ';
  b[at + 7] = 0;
}

// 12-byte field: 11 octal digits (leading zeros among the first 10 as blanks), blank.
void PutOctal12(TTarBlock& b, std::size_t at, std::uint64_t value) {
  for (int i = 10; i >= 0; --i) {
    b[at + i] = static_cast<std::uint8_t>('0' + (value & 7));
    value >>= 3;
  }
  for (int i = 0; i < 10 && b[at + i] == '0'; ++i) b[at + i] = ' ';
  b[at + 11] = ' ';
}

std::string GetText(const TTarBlock& b, std::size_t at, std::size_t width) {
  const char* p = reinterpret_cast<const char*>(b.data() + at);
  return std::string(p, strnlen(p, width));
}

std::uint32_t ModeValue(const TTarDirRec& rec) {
  std::uint32_t mode = 0;
  switch (rec.EntryType) {
    case TTarEntryType::RegularFile:
    case TTarEntryType::HardLink: mode = 0100000; break;
    case TTarEntryType::SymbolicLink: mode = 0120000; break;
    case TTarEntryType::Directory: mode = 0040000; break;
    default: break;
  }
  if (rec.SpecialBits & 1) mode |= 04000;
  if (rec.SpecialBits & 2) mode |= 02000;
  if (rec.SpecialBits & 4) mode |= 01000;
  // Flag 0 (owner read) is the highest permission bit 0400.
  for (int i = 0; i < 9; ++i)
    if (rec.PermissionBits & (1u << i)) mode |= 0400u >> i;
  return mode;
}

char TypeFlag(TTarEntryType t) {
  auto v = static_cast<int>(t);
  if (v <= 7) return static_cast<char>('0' + v);
  return v == 8 ? 'D' : v == 9 ? 'M' : 'V';
}

std::uint32_t MtimeSeconds(double t) {
  if (!(t >= kUnixEpochDateTime)) return 0;
  double exact = (t - kUnixEpochDateTime) * 86400.0;
  // A whole second that the day fraction cannot hold exactly is not lost to truncation.
  double s = std::fabs(exact - std::round(exact)) < 1e-3 ? std::round(exact) : std::trunc(exact);
  return s >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(s);
}

}  // namespace

double DateTimeFromUnix(std::int64_t seconds) { return static_cast<double>(seconds) / 86400.0 + kUnixEpochDateTime; }

double NowDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTimeFromUnix(static_cast<std::int64_t>(now) + local.tm_gmtoff);
}

std::uint32_t TarHeaderChecksum(const TTarBlock& block) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < kChecksumEnd; ++i) sum += (i >= kChecksum && i < kChecksum + 8) ? ' ' : block[i];
  return sum;
}

TTarBlock EncodeTarHeader(const TTarDirRec& rec) {
  TTarBlock b{};
  PutText(b, kName, 100, rec.EntryName);
  PutOctal8(b, kMode, ModeValue(rec));
  PutOctal8(b, kUid, static_cast<std::uint32_t>(rec.OwnerId));
  PutOctal8(b, kGid, static_cast<std::uint32_t>(rec.GroupId));
  PutOctal12(b, kSize, static_cast<std::uint64_t>(rec.EntrySize));
  PutOctal12(b, kMtime, MtimeSeconds(rec.ModifiedTime));
  b[kType] = static_cast<std::uint8_t>(TypeFlag(rec.EntryType));
  PutText(b, kLink, 100, rec.LinkTarget);
  std::string magic = rec.MagicText.substr(0, 8) + "        ";
  PutText(b, kMagic, 8, magic);
  PutText(b, kUser, 32, rec.OwnerName);
  PutText(b, kGroup, 32, rec.GroupName);
  PutOctal8(b, kMajor, static_cast<std::uint32_t>(rec.DeviceMajor));
  PutOctal8(b, kMinor, static_cast<std::uint32_t>(rec.DeviceMinor));
  PutOctal8(b, kChecksum, TarHeaderChecksum(b));
  return b;
}

std::int64_t ReadOctal(const std::uint8_t* field, std::size_t width) {
  std::size_t n = strnlen(reinterpret_cast<const char*>(field), width);
  std::size_t b = 0, e = n;
  while (b < e && field[b] <= ' ') ++b;
  while (e > b && field[e - 1] <= ' ') --e;
  std::uint64_t value = 0;
  for (std::size_t i = b; i < e && field[i] != ' '; ++i) value = value * 8 + static_cast<std::uint64_t>(field[i] - '0');
  return static_cast<std::int64_t>(value);
}

void DecodeTarHeader(const TTarBlock& b, TTarDirRec& rec) {
  rec = TTarDirRec{};
  rec.EntryName = GetText(b, kName, 100);
  rec.EntrySize = ReadOctal(b.data() + kSize, 12);
  rec.ModifiedTime = DateTimeFromUnix(ReadOctal(b.data() + kMtime, 12));
  const auto mode = static_cast<std::uint32_t>(ReadOctal(b.data() + kMode, 8));
  for (int i = 0; i < 9; ++i)
    if (mode & (0400u >> i)) rec.PermissionBits |= static_cast<std::uint16_t>(1u << i);
  if (mode & 04000) rec.SpecialBits |= 1;
  if (mode & 02000) rec.SpecialBits |= 2;
  if (mode & 01000) rec.SpecialBits |= 4;
  rec.OwnerId = static_cast<std::int32_t>(ReadOctal(b.data() + kUid, 8));
  rec.GroupId = static_cast<std::int32_t>(ReadOctal(b.data() + kGid, 8));
  rec.DeviceMajor = static_cast<std::int32_t>(ReadOctal(b.data() + kMajor, 8));
  rec.DeviceMinor = static_cast<std::int32_t>(ReadOctal(b.data() + kMinor, 8));
  const char t = static_cast<char>(b[kType]);
  if (t == '0' || t == 0)
    rec.EntryType = TTarEntryType::RegularFile;
  else if (t >= '1' && t <= '7')
    rec.EntryType = static_cast<TTarEntryType>(t - '0');
  else if (t == 'D')
    rec.EntryType = TTarEntryType::DumpDirectory;
  else if (t == 'M')
    rec.EntryType = TTarEntryType::MultiVolume;
  else if (t == 'V')
    rec.EntryType = TTarEntryType::VolumeHeader;
  rec.LinkTarget = GetText(b, kLink, 100);
  rec.OwnerName = GetText(b, kUser, 32);
  rec.GroupName = GetText(b, kGroup, 32);
  std::string magic(reinterpret_cast<const char*>(b.data() + kMagic), 8);
  std::size_t mb = 0, me = magic.size();
  while (mb < me && static_cast<unsigned char>(magic[mb]) <= ' ') ++mb;
  while (me > mb && static_cast<unsigned char>(magic[me - 1]) <= ' ') --me;
  rec.MagicText = magic.substr(mb, me - mb);
  const auto stored = static_cast<std::uint32_t>(ReadOctal(b.data() + kChecksum, 8));
  // The program's own headers sum bytes 0 to 344 (the rest is zero); other tools' headers
  // use the whole block (a ustar name prefix lies beyond 344).
  std::uint32_t whole = TarHeaderChecksum(b);
  for (std::size_t i = kChecksumEnd; i < b.size(); ++i) whole += b[i];
  rec.HeaderChecksumValid =
      (TarHeaderChecksum(b) & 0xFFFF) == (stored & 0xFFFF) || (whole & 0xFFFF) == (stored & 0xFFFF);
}

}  // namespace brelo
