// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as the program writes them: "." as the decimal separator whatever the locale.
#include <string>

namespace brelo {

// The shortest general form with up to 15 significant digits, as edit boxes show numbers:
// 0.25, 3, 1.5E-5, 1E20.
std::string ShortestNumber(double value);

}  // namespace brelo
