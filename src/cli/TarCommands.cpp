#include "cli/Commands.h"

namespace brelo::cli {
void RegisterTarCommands(CLI::App&) {}
}  // namespace brelo::cli
