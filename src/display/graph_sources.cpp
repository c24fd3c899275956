#include "display/graph_sources.h"

const RunRecord& sampleRunForGraph() {
    return sampleRunRecord;
}

const std::string& sampleRunSetting(int column) {
    static const std::string none;
    if (column < 0 || column >= runHeaderColumns) return none;
    return sampleRuns.sampleRunParameters[static_cast<std::size_t>(column)];
}

const std::string& graphTitleForGraph() {
    return resultNaming.graphTitle;
}
