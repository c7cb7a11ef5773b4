// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian field helpers for JNX streams. A short read leaves the destination
// unchanged; a failing write raises the stream's EIoError.
#include <cstdint>
#include <string>

#include "base/Stream.h"

namespace brelo {

void ReadInt16(TStream& s, std::int16_t& value);
void ReadInt32(TStream& s, std::int32_t& value);
void ReadUInt32(TStream& s, std::uint32_t& value);
// Zero-terminated UTF-8, trimmed of bytes 0x00..0x20 at both ends; ill-formed UTF-8 reads as "".
void ReadString(TStream& s, std::string& value);
void WriteInt16(TStream& s, std::int16_t value);
void WriteInt32(TStream& s, std::int32_t value);
void WriteUInt32(TStream& s, std::uint32_t value);
void WriteString(TStream& s, const std::string& value);

// Decoding of little-endian values from a byte buffer (bulk-read tables).
inline std::int32_t LoadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                   std::uint32_t(p[3]) << 24);
}
inline std::uint32_t LoadUInt32(const std::uint8_t* p) { return static_cast<std::uint32_t>(LoadInt32(p)); }
inline std::int16_t LoadInt16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(std::uint16_t(p[0]) | std::uint16_t(p[1]) << 8);
}
inline void StoreInt32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}
inline void StoreInt16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}

}  // namespace brelo
