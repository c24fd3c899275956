#include "app/run_completion.h"

#include "app/model_card_file.h"
#include "display/graph.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "ui/parameter_panel_view.h"

namespace {

bool newSampleRunLoaded = false;

// The graph and panel redrawn from the sample-run copy just written, before they are saved as the
// run's picture: the panel's sweep settings are then the run's own.
void showNewSampleRun() {
    loadSampleRun();
    newSampleRunLoaded = true;
    refreshGraph();
}

} // namespace

void finishCompletedRun() {
    if (autoSaveIsOn()) {
        newSampleRunLoaded = false;
        autoSaveRun(showNewSampleRun);
        saveCompletedRunModelCard();
        // A full run's file is large: read it once (only a copy that could not be written is not shown yet).
        if (!newSampleRunLoaded) loadSampleRun();
        refreshParameterPanel();
    }
    requestGraphRedraw();
}
