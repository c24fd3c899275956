// What the graph plots: the row of the test configurations table chosen by the test configuration ID,
// and reading a plotted quantity (a channel) from a run.
#pragma once

#include <cstdint>
#include <string>

#include "sweep/run_record.h"

// Channel numbers: one less than the column of the quantity in the run data file.
enum GraphChannel : int {
    channelVR = 3,
    channelVB = 4,
    channelVC = 5,
    channelIR = 6,
    channelIB = 7,
    channelIC = 8,
    channelTIB = 9,
    channelTVB = 10,
    channelHFE = 11, // IC / TIB, 0 when TIB is 0
};

struct GraphMode {
    // Texts of the test configuration tile; an empty column reads "BLANK".
    std::string descriptionLine1 = "BLANK";
    std::string descriptionLine2 = "BLANK";
    std::string descriptionLine3 = "BLANK";
    std::string descriptionLine4 = "BLANK";
    std::int64_t xChannel = 0;
    std::string xUnit, xSymbol, xSubscript, xName;
    std::int64_t yChannel = 0;
    std::string yUnit, ySymbol, ySubscript, yName;
};

inline GraphMode graphMode;

// Reads the row of sweepParameters.testConfigurationId into graphMode.
void readGraphMode();

// The value of `channel` at (step, entry) of `run`; 0 for a channel without a table.
double channelValue(const RunRecord& run, std::int64_t channel, int step, int entry);
// The table of a stored channel for one step, or nullptr for HFE and unknown channels.
const double* channelTable(const RunRecord& run, std::int64_t channel, int step);
