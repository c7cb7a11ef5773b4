// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/JpegErrorManager.h"

namespace brelo {

namespace {
void OnFatalError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  err->code = cinfo->err->msg_code;
  std::longjmp(err->jump, 1);
}
void OnMessage(j_common_ptr, int) {}
void OnOutputMessage(j_common_ptr) {}
}  // namespace

void InstallErrorManager(TJpegErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnFatalError;
  err.pub.emit_message = OnMessage;
  err.pub.output_message = OnOutputMessage;
  err.code = 0;
}

}  // namespace brelo
