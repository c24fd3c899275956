// The "run" subcommand.
#include <CLI/CLI.hpp>

#include "app/command_line.h"

void addRunCommand(CLI::App& app, int& exitCode) {
    auto* command = app.add_subcommand("run", "Not built yet.");
    command->callback([&exitCode] { exitCode = 1; });
}
