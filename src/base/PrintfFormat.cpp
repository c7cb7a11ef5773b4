// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PrintfFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace brelo {

namespace {

// One conversion of a double under the program's rules.
std::string Number(const std::string& directive, char conversion, double value) {
  std::string flags, width;
  int precision = -1;
  std::size_t i = 1;  // after '%'
  while (i < directive.size() && std::strchr("-+ #0", directive[i])) flags += directive[i++];
  while (i < directive.size() && directive[i] >= '0' && directive[i] <= '9') width += directive[i++];
  if (i < directive.size() && directive[i] == '.') {
    ++i;
    precision = 0;
    while (i < directive.size() && directive[i] >= '0' && directive[i] <= '9')
      precision = precision * 10 + (directive[i++] - '0');
  }
  const bool significant = conversion == 'g' || conversion == 'G' || conversion == 'e' || conversion == 'E';
  if (significant && precision >= 0 && precision < 2) precision = 2;
  // e counts significant digits: the mantissa has one digit fewer after the point.
  const int printfPrecision = (conversion == 'e' || conversion == 'E') && precision > 0 ? precision - 1 : precision;
  std::string f(1, '%');
  f += flags;
  f += width;
  if (precision >= 0) {
    f += '.';
    f += std::to_string(printfPrecision);
  }
  f += conversion;
  char text[128];
  std::snprintf(text, sizeof text, f.c_str(), value);
  std::string s = text;
  // Exponents without the plus sign or leading zeros: 1.5e-05 becomes 1.5e-5.
  const std::size_t e = s.find_first_of("eE");
  if (e != std::string::npos && significant) {
    std::size_t d = e + 1;
    std::string sign;
    if (d < s.size() && (s[d] == '+' || s[d] == '-')) {
      if (s[d] == '-') sign = "-";
      ++d;
    }
    std::size_t end = d;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    std::string digits = s.substr(d, end - d);
    while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
    std::string r(s, 0, e + 1);
    r.append(sign).append(digits).append(s, end, std::string::npos);
    s.swap(r);
  }
  return s;
}

}  // namespace

std::string FormatNumbers(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    if (p[1] == '%') {
      out += '%';
      ++p;
      continue;
    }
    const char* start = p++;
    while (*p && std::strchr("-+ #0123456789.lhz", *p)) ++p;
    if (!*p) break;
    const std::string directive(start, p);
    const char c = *p;
    char text[256];
    if (std::strchr("gGeEf", c)) {
      out += Number(directive, c, va_arg(args, double));
    } else if (c == 's') {
      out += va_arg(args, const char*);
    } else if (c == 'c') {
      out += static_cast<char>(va_arg(args, int));
    } else if (directive.find_first_of("lz") != std::string::npos) {
      std::snprintf(text, sizeof text, (directive + c).c_str(), va_arg(args, long long));
      out += text;
    } else {
      std::snprintf(text, sizeof text, (directive + c).c_str(), va_arg(args, int));
      out += text;
    }
  }
  va_end(args);
  return out;
}

}  // namespace brelo
