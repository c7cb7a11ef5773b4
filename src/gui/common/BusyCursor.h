// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hourglass for the duration of a command, on every path.
#include <QApplication>

namespace brelo {

struct TBusyCursor {
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace brelo
