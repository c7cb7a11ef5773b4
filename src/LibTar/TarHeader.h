// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 512-byte TAR header block: encoding and decoding of TTarDirRec.
#include <array>
#include <cstdint>

#include "LibTar/TarDirRec.h"

namespace brelo {

using TTarBlock = std::array<std::uint8_t, kTarBlockSize>;

TTarBlock EncodeTarHeader(const TTarDirRec& rec);
// Fills rec from a header block (HeaderPosition is left to the caller).
void DecodeTarHeader(const TTarBlock& block, TTarDirRec& rec);
// Sum of bytes 0..344 with the checksum field counted as blanks.
std::uint32_t TarHeaderChecksum(const TTarBlock& block);
// Octal number reading of a field: trimmed, digits until a blank or the end (not checked).
std::int64_t ReadOctal(const std::uint8_t* field, std::size_t width);

}  // namespace brelo
