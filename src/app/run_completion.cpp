#include "app/run_completion.h"

#include "display/graph.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "ui/parameter_panel_view.h"

void finishCompletedRun() {
    if (autoSaveIsOn()) {
        autoSaveRun();
        loadSampleRun();
        refreshParameterPanel();
    }
    requestGraphRedraw();
}
