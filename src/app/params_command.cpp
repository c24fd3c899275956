// The "params" subcommand.
#include <CLI/CLI.hpp>

#include "app/command_line.h"

void addParamsCommand(CLI::App& app, int& exitCode) {
    auto* command = app.add_subcommand("params", "Not built yet.");
    command->callback([&exitCode] { exitCode = 1; });
}
