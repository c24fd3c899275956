// What "krv650 run" prints and files: one line (or JSON object) per part, the summary table and
// summary.csv.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"

struct PartResult {
    std::string id;                  // "Q-001"
    std::vector<std::string> files;  // as the program saved them, then the copies in the output folder
    std::string endedBy;             // the last step's "Last Sweep Ended By" text
    double seconds = 0;              // from the run request to the run's end
    bool analysed = false;           // the saved data file was read back
    DeviceKind kind = DeviceKind::Unknown;
    std::vector<ParameterRow> parameters; // whole-run rows only
};

// "Q-001  saveddata/x.csv savedimages/x.png  ended by +Vc LIMIT  2.31 s", then with `withParameters`
// the device and its parameters.
std::string partLine(const PartResult& part, bool withParameters);
// One JSON object on one line; "parameters" only with `withParameters`.
std::string partJson(const PartResult& part, bool withParameters);
// A table with one row per part: id, how it ended, seconds, device and the kind's main parameter.
std::string summaryTable(const std::vector<PartResult>& parts);
// One row per part; the whole-run parameters of every part as columns (in base units, empty where not
// available), in the order they first appear.
std::string summaryCsv(const std::vector<PartResult>& parts);
