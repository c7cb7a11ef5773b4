// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libjpeg reports fatal errors through error_exit; ours jumps back to the call site, which
// cleans up and raises EJPEG there, so no exception crosses the C library's frames. Warnings
// and trace messages are dropped.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace brelo {

struct TJpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code = 0;
};

void InstallErrorManager(TJpegErrorManager& err);

}  // namespace brelo
