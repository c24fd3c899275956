#include "results/sample_runs.h"

// Filled in later with the sample runs.
void loadSampleRun() {}
