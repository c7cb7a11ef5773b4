// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/StreamHelpers.h"

#include "base/Text.h"

namespace brelo {

void ReadInt16(TStream& s, std::int16_t& value) {
  std::uint8_t b[2];
  if (s.Read(b, 2) == 2) value = LoadInt16(b);
}

void ReadInt32(TStream& s, std::int32_t& value) {
  std::uint8_t b[4];
  if (s.Read(b, 4) == 4) value = LoadInt32(b);
}

void ReadUInt32(TStream& s, std::uint32_t& value) {
  std::uint8_t b[4];
  if (s.Read(b, 4) == 4) value = LoadUInt32(b);
}

void ReadString(TStream& s, std::string& value) {
  std::string raw;
  char c;
  while (s.Read(&c, 1) == 1 && c != '\0') raw.push_back(c);
  value = DecodeStoredText(raw);
}

void WriteInt16(TStream& s, std::int16_t value) {
  std::uint8_t b[2];
  StoreInt16(b, static_cast<std::uint16_t>(value));
  s.Write(b, 2);
}

void WriteInt32(TStream& s, std::int32_t value) {
  std::uint8_t b[4];
  StoreInt32(b, static_cast<std::uint32_t>(value));
  s.Write(b, 4);
}

void WriteUInt32(TStream& s, std::uint32_t value) {
  std::uint8_t b[4];
  StoreInt32(b, value);
  s.Write(b, 4);
}

void WriteString(TStream& s, const std::string& value) {
  s.Write(value.data(), value.size());
  s.Write("", 1);
}

}  // namespace brelo
