#include "display/graph_mode.h"

#include "base/settings_file.h"
#include "display/graph_sources.h"
#include "sweep/sweep_parameters.h"

namespace {

std::string description(std::int64_t id, int column) {
    std::string text = testConfigurationCell(id, column);
    return text.empty() ? "BLANK" : text;
}

} // namespace

void readGraphMode() {
    const std::int64_t id = sweepParameters.testConfigurationId;
    GraphMode& m = graphMode;
    m.descriptionLine1 = description(id, 2);
    m.descriptionLine2 = description(id, 3);
    m.descriptionLine3 = description(id, 4);
    m.descriptionLine4 = description(id, 5);
    m.xChannel = parseSettingInteger(testConfigurationCell(id, 7));
    m.xUnit = testConfigurationCell(id, 8);
    m.xSymbol = testConfigurationCell(id, 9);
    m.xSubscript = testConfigurationCell(id, 10);
    m.xName = testConfigurationCell(id, 11);
    m.yChannel = parseSettingInteger(testConfigurationCell(id, 12));
    m.yUnit = testConfigurationCell(id, 13);
    m.ySymbol = testConfigurationCell(id, 14);
    m.ySubscript = testConfigurationCell(id, 15);
    m.yName = testConfigurationCell(id, 16);
}

const double* channelTable(const RunRecord& run, std::int64_t channel, int step) {
    switch (channel) {
    case channelVR: return run.VR[step];
    case channelVB: return run.VB[step];
    case channelVC: return run.VC[step];
    case channelIR: return run.IR[step];
    case channelIB: return run.IB[step];
    case channelIC: return run.IC[step];
    case channelTIB: return run.TIB[step];
    case channelTVB: return run.TVB[step];
    default: return nullptr;
    }
}

ChannelReader channelReader(const RunRecord& run, std::int64_t channel, int step) {
    ChannelReader reader;
    reader.table = channelTable(run, channel, step);
    if (channel == channelHFE) {
        reader.ic = run.IC[step];
        reader.tib = run.TIB[step];
    }
    return reader;
}
