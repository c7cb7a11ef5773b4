// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace brelo {

// 36 characters: 8-4-4-4-12 upper-case hexadecimal digits of random bytes, no version bits.
std::string NewGuid();

}  // namespace brelo
