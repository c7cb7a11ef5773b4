// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Progress reporting: one line of text at a time. The window's sinks repaint the information
// line at once; the command-line tool prints each line.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace brelo {

using ProgressSink = std::function<void(const std::string&)>;

// How far a long command has come, and whether the user asked it to stop. A command looks at
// Cancelled() only where it can stop cleanly (nothing half written is left) and then raises
// ECancelled. Calls may come from a worker thread.
struct TWorkMeter {
  std::function<void(std::uint64_t done, std::uint64_t total)> Advanced;
  const std::atomic<bool>* Cancel = nullptr;

  void Advance(std::uint64_t done, std::uint64_t total) const {
    if (Advanced) Advanced(done, total);
  }
  bool Cancelled() const { return Cancel && Cancel->load(); }
};

}  // namespace brelo
