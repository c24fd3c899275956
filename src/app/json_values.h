// JSON output of the subcommands: one object per line, numbers as numbers, "not available" as null.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "analysis/analysis.h"

using Json = nlohmann::ordered_json;

// The object on one line with its line end; a file name that is not UTF-8 prints its bad bytes as U+FFFD
// instead of ending the program.
std::string jsonLine(const Json& json);

// The value as a number, or null when it is not available.
Json jsonNumber(const ParameterValue& value);
