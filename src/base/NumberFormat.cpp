// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/NumberFormat.h"

#include <cstdio>
#include <cstdlib>

namespace brelo {

std::string ShortestNumber(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15G", value);
  std::string s = text;
  // printf writes "1.5E-05"; the exponent is written without a plus sign or leading zeros.
  const std::size_t e = s.find('E');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e), exponent = s.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

}  // namespace brelo
