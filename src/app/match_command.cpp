// The "match" subcommand.
#include <CLI/CLI.hpp>

#include "app/command_line.h"

void addMatchCommand(CLI::App& app, int& exitCode) {
    auto* command = app.add_subcommand("match", "Not built yet.");
    command->callback([&exitCode] { exitCode = 1; });
}
