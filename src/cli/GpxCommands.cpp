#include "cli/Commands.h"

namespace brelo::cli {
void RegisterGpxCommands(CLI::App&) {}
}  // namespace brelo::cli
