// SPDX-License-Identifier: GPL-3.0-or-later
// brelo-cli: the headless tool over the core, for scripting and batch work.
#include <cstdio>
#include <iostream>

#include "base/Platform.h"
#include "cli/Commands.h"

namespace brelo::cli {
void PrintProgress(const std::string& line) { std::cout << line << '\n'; }
}  // namespace brelo::cli

int main(int argc, char** argv) {
  brelo::platform::KeepFreedMemory();
  std::ios::sync_with_stdio(false);  // every output goes through the streams
  CLI::App app{"brelo-cli " BRELO_VERSION ": view, edit and convert JNX raster maps"};
  app.set_version_flag("--version", "brelo-cli " BRELO_VERSION);
  app.require_subcommand(1);
  brelo::cli::RegisterInfoCommands(app);
  brelo::cli::RegisterCheckCommands(app);
  brelo::cli::RegisterWriteCommands(app);
  brelo::cli::RegisterEditCommands(app);
  brelo::cli::RegisterTarCommands(app);
  brelo::cli::RegisterGpxCommands(app);
  brelo::cli::RegisterCreationCommands(app);
  brelo::cli::RegisterGisCommands(app);
  brelo::cli::RegisterMergeCommands(app);
#ifdef BRELO_RENDER
  brelo::cli::RegisterRenderCommands(app);
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const brelo::cli::EExitStatus& e) {
    std::cout.flush();
    return e.Status;
  } catch (const CLI::ParseError& e) {
    std::cerr << "brelo-cli: " << e.what() << "\n\n" << app.help();
    return 2;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "brelo-cli: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
