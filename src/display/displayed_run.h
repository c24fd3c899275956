// The run the graph shows: a copy of the sample run while idle, of the run record during a run.
#pragma once

#include <array>
#include <string>

#include "display/graph_sources.h"
#include "sweep/run_record.h"

struct DisplayedRun {
    RunRecord run;
    // Recorded run settings by run data column: [12] BGmode ... [23] SampleRate.
    std::array<std::string, runHeaderColumns> header;
};

inline DisplayedRun displayedRun;

// Copies the current source into displayedRun. Only the steps before the first empty one are
// shown; counts are kept within the record.
void prepareDisplayedRun();
// A new run starts with no displayed steps.
void clearDisplayedEntryCounts();
// Number of steps from step 0 up to the first empty one.
int filledStepCount(const RunRecord& run);
