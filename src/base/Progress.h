#pragma once
// Progress reporting: one line of text at a time. The window's sinks repaint the information
// line at once; the command-line tool prints each line.
#include <functional>
#include <string>

namespace brelo {

using ProgressSink = std::function<void(const std::string&)>;

}  // namespace brelo
