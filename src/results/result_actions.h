// File menu actions and the result tiles: saving, save options, test setups, sample runs and
// test configurations. The callers refresh the parameter panel and ask for a graph redraw.
#pragma once

void saveImageAndDataNow();
void openSaveOptionsWindow();
void openTestSetupFile();
void saveTestSetupFile();
void saveTestSetupAs();
void showPreviousSampleRun();
void showNextSampleRun();
void showPreviousTestConfiguration();
void showNextTestConfiguration();

// Start-up: the start-up test setup, the test configurations table and the newest sample run.
void loadStartupTestSetup();
void loadTestConfigurationsAndSampleRuns();

// Everything the results keep, back to its start-up state.
void resetResultsDefaults();
