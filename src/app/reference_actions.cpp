#include "app/reference_actions.h"

#include <filesystem>
#include <memory>

#include "base/file_paths.h"
#include "base/messages.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "display/displayed_run.h"
#include "display/graph.h"
#include "display/reference_run.h"
#include "display/run_analysis.h"
#include "platform/platform.h"
#include "results/run_data_reader.h"
#include "results/sample_runs.h"
#include "sweep/sweep_state_machine.h"

namespace {

void storeReferencePath(const std::string& path) {
    systemSettings.referenceRunPath = path;
    writeOrAddSetting(systemSettings.settingsFilePath, "KRV_ReferenceRun", path);
}

bool hasCurves(const RunRecord& record, const RunColumns& columns) {
    return !runCurves(record, parseRunSettings(columns)).steps.empty();
}

struct ShownRun {
    RunSettings settings;
    DeviceKind kind = DeviceKind::Unknown;
    bool hasCurves = false;
};

ShownRun shownRun() {
    prepareDisplayedRun();
    ShownRun shown;
    const RunColumns columns = displayedRunColumns();
    shown.settings = parseRunSettings(columns);
    shown.hasCurves = hasCurves(displayedRun.run, columns);
    if (shown.hasCurves) shown.kind = effectiveDeviceKind(displayedRun.run, shown.settings);
    return shown;
}

// A run data file read whole into a record of its own; nothing else is touched when it cannot be.
struct LoadedRun {
    std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();
    RunDataColumns columns{};
    RunDataLoad outcome = RunDataLoad::Unreadable;
};

LoadedRun readRun(const std::string& path) {
    LoadedRun run;
    run.outcome = loadRunDataFile(hostPath(path), *run.record, run.columns);
    return run;
}

} // namespace

void setReferenceFromDisplayedRun() {
    const ShownRun shown = shownRun();
    if (!shown.hasCurves) {
        showMessage("Info #xxxx There are no curves on the graph to take as the reference.");
        return;
    }
    const bool live = sweepControl.sweepState != SweepState::Idle;
    std::string path = live ? "" : sampleRunPath(sampleRuns.sampleRunIndex);
    std::error_code error;
    if (!path.empty() && !std::filesystem::is_regular_file(hostPath(path), error)) path.clear();
    setReferenceRun(displayedRun.run, displayedRunColumns(), path, shown.kind);
    storeReferencePath(path);
    requestGraphRedraw();
}

bool loadReferenceFrom(const std::string& path) {
    LoadedRun run = readRun(path);
    const std::string refused = "Warning #xxxx Reference not loaded: " + path;
    if (run.outcome == RunDataLoad::Unreadable) {
        showMessage(refused + " cannot be read.");
        return false;
    }
    if (run.outcome == RunDataLoad::NotRunData) {
        showMessage(refused + " is not a run data file.");
        return false;
    }
    if (!hasCurves(*run.record, run.columns)) {
        showMessage(refused + " holds no curves.");
        return false;
    }
    const ShownRun shown = shownRun();
    const RunSettings settings = parseRunSettings(run.columns);
    const DeviceKind kind = inferDeviceKind(*run.record, settings);
    if (shown.hasCurves) {
        const std::string mismatch = referenceMismatch(settings, kind, shown.settings, shown.kind);
        if (!mismatch.empty()) {
            showMessage(refused + " " + mismatch + ".");
            return false;
        }
    }
    adoptReferenceRun(std::move(run.record), run.columns, path, kind);
    storeReferencePath(path);
    requestGraphRedraw();
    if (shown.hasCurves && !referenceComparison(displayedRun.run, shown.settings, shown.kind).curves.available)
        showMessage("Info #xxxx The reference and the displayed run have no step and voltage range in common: "
                    "the comparison shows \"-\".");
    return true;
}

void loadReferenceFile() {
    const std::string chosen = platform::openFileDialog("Please choose reference run to load",
                                                        hostPath(systemSettings.saveDataFileLocation),
                                                        "Run data (*.csv)|*.csv");
    if (!chosen.empty()) loadReferenceFrom(chosen);
}

void clearReference() {
    clearReferenceRun();
    storeReferencePath("");
    requestGraphRedraw();
}

void toggleReferenceGrey() {
    std::string& grey = systemSettings.referenceGrey;
    grey = grey == "Yes" ? "No" : "Yes";
    writeOrAddSetting(systemSettings.settingsFilePath, "KRV_ReferenceGrey", grey);
    requestGraphRedraw();
}

void restoreReferenceRun() {
    const std::string path = systemSettings.referenceRunPath;
    if (path.empty()) return;
    LoadedRun run = readRun(path);
    if (run.outcome == RunDataLoad::Loaded && hasCurves(*run.record, run.columns)) {
        adoptReferenceRun(std::move(run.record), run.columns, path);
        return;
    }
    appendLogLine("Info #xxxx Reference run " + path + " is missing or holds no run: the reference is cleared.");
    systemSettings.referenceRunPath.clear();
    writeSetting(systemSettings.settingsFilePath, "KRV_ReferenceRun", "");
}
