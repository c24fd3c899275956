#include "results/result_actions.h"

#include "results/file_names.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "results/save_options_window.h"
#include "results/test_configurations.h"
#include "results/test_setups.h"

void saveImageAndDataNow() {
    saveResultsNow();
}

void openSaveOptionsWindow() {
    openSaveOptions();
}

void openTestSetupFile() {
    openTestSetup();
}

void saveTestSetupFile() {
    saveTestSetup();
}

void showPreviousSampleRun() {
    previousSampleRun();
}

void showNextSampleRun() {
    nextSampleRun();
}

void showPreviousTestConfiguration() {
    previousTestConfiguration();
}

void showNextTestConfiguration() {
    nextTestConfiguration();
}

void loadTestConfigurationsAndSampleRuns() {
    loadTestConfigurations();
    findSampleRuns();
    sampleRuns.sampleRunIndex = sampleRuns.sampleRunCount;
    loadSampleRun();
}

void resetResultsDefaults() {
    resetResultNamingDefaults();
    resetSampleRunDefaults();
    resetTestConfigurationDefaults();
    resetSavedDataFileStems();
}
