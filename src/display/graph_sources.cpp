#include "display/graph_sources.h"

const RunRecord& sampleRunForGraph() {
    return graphSourceStandIn.sampleRunRecord;
}

const std::string& sampleRunSetting(int column) {
    static const std::string none;
    if (column < 0 || column >= runHeaderColumns) return none;
    return graphSourceStandIn.sampleRunParameters[static_cast<std::size_t>(column)];
}

std::string testConfigurationCell(std::int64_t id, int column) {
    if (column < 0 || column >= testConfigurationColumns) return {};
    auto row = graphSourceStandIn.testConfigurations.find(id);
    if (row == graphSourceStandIn.testConfigurations.end()) return {};
    return row->second[static_cast<std::size_t>(column)];
}

const std::string& graphTitleForGraph() {
    return graphSourceStandIn.graphTitle;
}

void resetGraphSourceStandIn() {
    // The record is large; clear it in place instead of building a temporary.
    GraphSourceStandIn& s = graphSourceStandIn;
    for (auto& count : s.sampleRunRecord.entryCount) count = 0;
    s.sampleRunParameters.fill({});
    s.testConfigurations.clear();
    s.graphTitle = "*Set Title Here*";
}
