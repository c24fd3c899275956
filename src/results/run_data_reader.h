// Reading a run data file back: the one parser behind the sample-run browser and the command line.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "sweep/run_record.h"

// The recorded settings of a run by run data column: elements 12 (BGmode) to 27 (Notes2).
using RunDataColumns = std::array<std::string, 33>;

// Fills `record` and `columns` from the text of a run data file, header line included. Only the entry
// counts are reset first: samples beyond a step's count may keep older values. Lines whose step or entry
// lies outside the record are skipped; a field that is not a number reads as 0.
void readRunDataText(std::string_view content, RunRecord& record, RunDataColumns& columns);

enum class RunDataLoad {
    Loaded,
    Unreadable, // missing, a folder, or no permission to read
    NotRunData, // the first line is not the run data header
};

// Reads the run data file at a path of this machine into the caller's record and columns; on anything
// but Loaded both are left as they were.
RunDataLoad loadRunDataFile(const std::filesystem::path& file, RunRecord& record, RunDataColumns& columns);
