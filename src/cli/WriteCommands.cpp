#include "cli/Commands.h"

namespace brelo::cli {
void RegisterWriteCommands(CLI::App&) {}
}  // namespace brelo::cli
