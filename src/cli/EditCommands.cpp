#include "cli/Commands.h"

namespace brelo::cli {
void RegisterEditCommands(CLI::App&) {}
}  // namespace brelo::cli
