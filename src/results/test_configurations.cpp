#include "results/test_configurations.h"

#include <algorithm>

#include "results/text_fields.h"
#include "sweep/sweep_parameters.h"
#include "platform/platform.h"

namespace {

constexpr const char* tablePath = "settings/TestConfigurations.CSV";
constexpr std::int64_t lowestMovableId = 100;
constexpr std::int64_t graphTypeMaximum = 9;

void readTableLine(std::string_view line) {
    const auto comma = line.find(',');
    const std::int64_t id = comma == std::string_view::npos ? 0 : leadingInteger(line.substr(0, comma)).value_or(0);
    if (id <= 0 || id >= testConfigurationRows - 1) return; // the header line too
    auto& row = testConfigurations.cell[id];
    // Once the commas run out, the last field fills every further column.
    std::string_view rest = line;
    for (auto& cell : row) {
        if (rest.find(',') == std::string_view::npos) {
            cell.assign(rest);
        } else {
            cell.assign(takeField(rest));
        }
    }
}

// Moves the id by one unless that leaves its hundred; ids below 100 and from 2000 stay. From a row the
// table fills, the tile never steps onto an empty one: it would show a blank graph with no curves.
void moveTestConfigurationId(std::int64_t delta) {
    std::int64_t& id = sweepParameters.testConfigurationId;
    if (id < lowestMovableId || id >= testConfigurationRows - 1) return;
    const std::int64_t moved = id + delta;
    if (moved / 100 != id / 100) return;
    if (!testConfigurations.cell[id][0].empty() && testConfigurations.cell[moved][0].empty()) return;
    id = moved;
}

} // namespace

void resetTestConfigurationDefaults() {
    for (auto& row : testConfigurations.cell)
        for (auto& cell : row) cell.clear();
}

bool loadTestConfigurations() {
    std::string content;
    if (!readWholeFile(tablePath, content)) {
        platform::messageBox("Infomation",
                             "Can't open 'TestConfigurations.CSV' file in 'settings' folder, you may need to "
                             "reinstall this software to reinstate this file.",
                             platform::IconInformation, platform::ButtonsOk);
        return false;
    }
    readTestConfigurationText(content);
    return true;
}

void readTestConfigurationText(std::string_view content) {
    resetTestConfigurationDefaults();
    std::string_view line;
    while (takeLine(content, line)) readTableLine(line);
}

const std::string& testConfigurationCell(std::int64_t id, int column) {
    static const std::string none;
    if (id < 0 || id >= testConfigurationRows || column < 0 || column >= testConfigurationColumns) return none;
    return testConfigurations.cell[id][column];
}

void previousTestConfiguration() {
    moveTestConfigurationId(-1);
    sweepParameters.graphType = std::max<std::int64_t>(sweepParameters.graphType - 1, 0);
}

void nextTestConfiguration() {
    moveTestConfigurationId(+1);
    sweepParameters.graphType = std::min(sweepParameters.graphType + 1, graphTypeMaximum);
}
