// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Numbers.h"

#include <charconv>
#include <limits>

#include "base/Errors.h"

namespace brelo {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::int32_t LenientInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0 || d >= base) break;
    value = value * base + d;
    if (value > std::numeric_limits<std::uint32_t>::max()) value = std::numeric_limits<std::uint32_t>::max();
  }
  const bool whole = i == text.size();
  if (whole && negative) value = -value;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int64_t StrictInt(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size()) throw EFormatError("'" + text + "' is not a valid integer value");
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || value > (std::int64_t(1) << 40))
      throw EFormatError("'" + text + "' is not a valid integer value");
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

bool ParseInteger(const std::string& text, long long& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || v > (1LL << 40)) return false;
    v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

double ParseDecimal(const std::string& text) {
  auto fail = [&]() -> double { throw EFormatError("'" + text + "' is not a valid floating point value"); };
  std::size_t i = 0, n = text.size();
  auto digits = [&] {
    std::size_t from = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t intDigits = digits(), fracDigits = 0;
  if (i < n && text[i] == '.') {
    ++i;
    fracDigits = digits();
  }
  if (intDigits + fracDigits == 0) return fail();
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return fail();
  }
  if (i != n) return fail();
  // from_chars reads "." whatever the process locale says.
  double value = 0;
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  auto result = std::from_chars(begin, text.data() + n, value);
  if (result.ec == std::errc::result_out_of_range) return fail();
  return value;
}

}  // namespace brelo
