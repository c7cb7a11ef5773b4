// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The verbs of brelo-cli, each group registering its subcommands.
#include <string>

#include <CLI/CLI.hpp>

namespace brelo::cli {

// Raised by a verb for a failure of its own (not an error of the core): exit status 1.
struct ECommandFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Raised by a verb whose outcome is an exit status of its own (check: 3 for errors found),
// its output already written.
struct EExitStatus {
  int Status;
};

void RegisterInfoCommands(CLI::App& app);
void RegisterCheckCommands(CLI::App& app);
void RegisterWriteCommands(CLI::App& app);
void RegisterEditCommands(CLI::App& app);
void RegisterTarCommands(CLI::App& app);
void RegisterGpxCommands(CLI::App& app);
void RegisterCreationCommands(CLI::App& app);
void RegisterGisCommands(CLI::App& app);
void RegisterMergeCommands(CLI::App& app);
void RegisterRenderCommands(CLI::App& app);  // with the renderer only

// Progress lines on stdout, one per line.
void PrintProgress(const std::string& line);

}  // namespace brelo::cli
