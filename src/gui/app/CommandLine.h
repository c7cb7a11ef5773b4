// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program's command line: options through QCommandLineParser (help, version, and
// Qt's own), files as the bytes given (a name need not be UTF-8). Read before the application
// object exists, so that --help, --version and a wrong option answer without a display.
#include <string>
#include <vector>

namespace brelo {

struct TCommandLine {
  enum class TAction { Run, Help, Version, Error };
  TAction Action = TAction::Run;
  std::string Text;                // the help text, the version line, or the error and usage
  std::vector<std::string> Files;  // in the order given
};

TCommandLine ParseCommandLine(int argc, char** argv);
// "brelo 0.1.0", from the project's version.
std::string VersionLine();

}  // namespace brelo
