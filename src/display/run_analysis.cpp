#include "display/run_analysis.h"

#include <algorithm>
#include <cctype>

#include "display/displayed_run.h"
#include "results/run_data_file.h"
#include "sweep/sweep_state_machine.h"

RunColumns currentRunColumns() {
    RunColumns columns;
    const auto fields = runParameterFields();
    std::copy(fields.begin(), fields.end(), columns.begin() + 12);
    return columns;
}

RunColumns displayedRunColumns() {
    if (sweepControl.sweepState != SweepState::Idle) return currentRunColumns();
    return displayedRun.header;
}

DeviceKind effectiveDeviceKind(const RunRecord& run, const RunSettings& settings) {
    if (runAnalysisChoice.kindOverride != DeviceKind::Unknown) return runAnalysisChoice.kindOverride;
    return inferDeviceKind(run, settings);
}

std::string deviceKindLabel(DeviceKind kind) {
    std::string label = deviceKindName(kind);
    for (char& c : label) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return label;
}

std::string chosenKindText(DeviceKind kind) {
    return deviceKindLabel(kind) + (runAnalysisChoice.kindOverride == DeviceKind::Unknown ? " (auto)" : " (set)");
}

std::string modelNameForStem(const std::string& stem) {
    std::string name;
    for (const char c : stem) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) name = "KRV_" + name;
    return name;
}

std::string modelCardFor(const RunRecord& run, const RunColumns& columns, const std::string& stem) {
    const RunSettings settings = parseRunSettings(columns);
    return modelCardLine(analyseRun(run, settings, effectiveDeviceKind(run, settings)), modelNameForStem(stem));
}
