#include "app/analysis_actions.h"

#include <string>

#include "app/model_card_file.h"
#include "base/messages.h"
#include "display/displayed_run.h"
#include "display/graph.h"
#include "display/run_analysis.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "sweep/sweep_state_machine.h"
#include "ui/device_parameters_window.h"

void openDeviceParametersWindow() {
    showDeviceParametersWindow();
    requestGraphRedraw(); // the panel shows the kind chosen there
}

void saveModelCardNow() {
    if (sweepControl.sweepState != SweepState::Idle) {
        showMessage("Info #xxxx The model card can be saved once the run has ended.");
        return;
    }
    prepareDisplayedRun();
    const RunColumns columns = displayedRunColumns();
    const std::string stem = sampleRunDataStem(sampleRuns.sampleRunIndex);
    const std::string card = modelCardFor(displayedRun.run, columns, stem);
    if (card.empty()) {
        const DeviceKind kind = effectiveDeviceKind(displayedRun.run, parseRunSettings(columns));
        showMessage("Info #xxxx No model card saved: nothing could be fitted to the displayed run as " +
                    deviceKindLabel(kind) + ".");
        return;
    }
    const std::string path = modelCardPath(stem);
    const FileWriteOutcome outcome = writeModelCardFile(path, card);
    if (outcome.written)
        showMessage("Info #xxxx Model card saved as " + path);
    else
        showMessage("Warning #xxxx Model card not saved: " + path + " (" + outcome.failure + ").");
}
