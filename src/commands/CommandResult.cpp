#include "commands/CommandResult.h"

namespace brelo {

TCommandResult Done(std::string text, std::string path) {
  TCommandResult r;
  r.Ok = true;
  r.Text = std::move(text);
  r.Path = std::move(path);
  return r;
}

TCommandResult Failed(std::string text, std::string detail, bool mayBeDamaged) {
  TCommandResult r;
  r.Text = std::move(text);
  r.Detail = std::move(detail);
  r.MayBeDamaged = mayBeDamaged;
  return r;
}

}  // namespace brelo
