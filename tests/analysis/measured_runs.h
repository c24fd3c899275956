// Runs measured by the whole program on the virtual instrument, one per part in the socket, each made
// once per test program and kept as the run data file the program saved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "sweep/run_record.h"

// One part and the sweep a user would set up to read its parameters.
struct PartSetup {
    std::string name;               // file stem and test label: "npn", "1k"
    std::vector<std::string> simArguments; // krv650-sim --device ... [--resistance ...]
    DeviceKind kind;                 // what the analysis should see
    void (*chooseSettings)();        // applies the preset and the user's further choices to sweepParameters
};

const std::vector<PartSetup>& partSetups();
const PartSetup& partSetup(const std::string& name);

struct MeasuredRun {
    std::string csv;         // the saved sample run; empty when the run failed
    std::string failure;     // why it failed
    std::string settingsText; // the sweep as set up, one line
    std::string stopReason;  // of the last step
    double seconds = 0;      // wall time of the run
};

// The run of a part, measured on first use; later calls return the same run.
const MeasuredRun& measuredRun(const std::string& name);

// A run data file read back by the program's own reader, with its recorded settings.
struct LoadedRun {
    std::unique_ptr<RunRecord> record; // 16 MB: never on the stack
    RunColumns columns;
    RunSettings settings;
};
LoadedRun loadRunText(const std::string& csv);
