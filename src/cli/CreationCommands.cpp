#include "cli/Commands.h"

namespace brelo::cli {
void RegisterCreationCommands(CLI::App&) {}
}  // namespace brelo::cli
