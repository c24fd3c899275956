// What the graph reads from the results side: the displayed sample run with its recorded settings,
// the rows of the test configurations table and the graph title.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "sweep/run_record.h"

constexpr int runHeaderColumns = 33;     // columns of a run data line, numbered from 0
constexpr int testConfigurationColumns = 26;

const RunRecord& sampleRunForGraph();
// Element `column` (0..32) of the sample run's recorded settings; empty outside that range.
const std::string& sampleRunSetting(int column);
// Cell of the test configurations table; empty for a missing row or column.
std::string testConfigurationCell(std::int64_t id, int column);
const std::string& graphTitleForGraph();

// Holds these until the results side provides its own records; tests fill it.
struct GraphSourceStandIn {
    RunRecord sampleRunRecord;
    std::array<std::string, runHeaderColumns> sampleRunParameters;
    std::map<std::int64_t, std::array<std::string, testConfigurationColumns>> testConfigurations;
    std::string graphTitle = "*Set Title Here*";
};

inline GraphSourceStandIn graphSourceStandIn;

void resetGraphSourceStandIn();
