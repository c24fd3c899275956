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

// The table of a stored channel for one step, or nullptr for HFE and unknown channels.
const double* channelTable(const RunRecord& run, std::int64_t channel, int step);

// One channel of one step of a run, read by entry; unknown channels read 0.
struct ChannelReader {
    const double* table = nullptr; // the channel's own table
    const double* ic = nullptr;    // HFE: IC / TIB
    const double* tib = nullptr;
    double operator[](int entry) const {
        if (table) return table[entry];
        if (!ic || tib[entry] == 0.0) return 0.0;
        return ic[entry] / tib[entry];
    }
};

ChannelReader channelReader(const RunRecord& run, std::int64_t channel, int step);
