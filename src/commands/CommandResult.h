#pragma once
// What a command returns to the window and to brelo-cli: done with its result text, or the
// user-facing message and whether the file may be damaged.
#include <string>
#include <vector>

namespace brelo {

struct TCommandResult {
  bool Ok = false;
  // Ok: the result line for the information line. Otherwise the message for the error display.
  std::string Text;
  // Messages the error display shows before Text, in order (a missing picture, say).
  std::vector<std::string> Earlier;
  // The core's own words on a failure, when Text does not give them.
  std::string Detail;
  bool MayBeDamaged = false;
  // The file or folder the command wrote.
  std::string Path;
};

TCommandResult Done(std::string text, std::string path = "");
TCommandResult Failed(std::string text, std::string detail = "", bool mayBeDamaged = false);

}  // namespace brelo
