// What the graph reads from the results side: the displayed sample run with its recorded settings,
// the rows of the test configurations table (testConfigurationCell) and the graph title.
#pragma once

#include <string>

#include "results/file_names.h"
#include "results/sample_runs.h"
#include "results/test_configurations.h"
#include "sweep/run_record.h"

constexpr int runHeaderColumns = 33; // columns of a run data line, numbered from 0

const RunRecord& sampleRunForGraph();
// Element `column` (0..32) of the sample run's recorded settings; empty outside that range.
const std::string& sampleRunSetting(int column);
const std::string& graphTitleForGraph();
