// Pieces shared by the subcommands that read run data files without a window: plain numbers, device
// names, what to say about a file that would not load, and writing the result to standard output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "results/run_data_reader.h"

// Exit code of a result that could not be written to standard output.
constexpr int exitOutputFailed = 1;

// A finite decimal number with nothing around it ("5", "+2.5", "1e-3"); false for anything else.
bool parsePlainNumber(std::string_view text, double& value);

// Every device kind's name as --device takes it ("npn" ... "resistor").
std::vector<std::string> deviceKindNames();

// One line for standard error about a file that did not load, e.g. "krv650 params: cannot read 'x.csv'".
std::string runDataLoadProblem(std::string_view command, const std::string& file, RunDataLoad load);

// Writes the text to standard output; false when it did not all arrive (a full disk, a closed pipe).
bool writeStandardOutput(std::string_view text);
