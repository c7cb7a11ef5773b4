# SPDX-License-Identifier: GPL-3.0-or-later
# Turns a binary file into a C++ source holding its bytes: cmake -DIN=.. -DOUT=.. -DNAME=.. -P EmbedFile.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" len)
math(EXPR count "${len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUT}" "#include <cstddef>\n#include <cstdint>\nnamespace brelo::resources {\nextern const std::uint8_t ${NAME}[] = {${bytes}};\nextern const std::size_t ${NAME}Size = ${count};\n}\n")
