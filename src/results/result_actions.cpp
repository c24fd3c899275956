#include "results/result_actions.h"

// Filled in with saving, test setups and sample runs.
void saveImageAndDataNow() {}
void openSaveOptionsWindow() {}
void openTestSetupFile() {}
void saveTestSetupFile() {}
void saveTestSetupAs() {}
void showPreviousSampleRun() {}
void showNextSampleRun() {}
void showPreviousTestConfiguration() {}
void showNextTestConfiguration() {}
void loadStartupTestSetup() {}
void loadTestConfigurationsAndSampleRuns() {}
