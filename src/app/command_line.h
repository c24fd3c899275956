// The one executable's command line: no subcommand starts the window program; "params", "match" and
// "run" work without a display.
#pragma once

namespace CLI {
class App;
}

// Parses argv and runs the program or the chosen subcommand; returns the process exit code.
int runCommandLine(int argc, char** argv);

// Each subcommand adds itself to the parser; the callback it sets stores its exit code here.
void addParamsCommand(CLI::App& app, int& exitCode);
void addMatchCommand(CLI::App& app, int& exitCode);
void addRunCommand(CLI::App& app, int& exitCode);

// Exit codes shared by every subcommand: bad arguments, and a fault (its report is in bugreport.txt).
constexpr int exitBadArguments = 2;
constexpr int exitProgramFault = 6;
