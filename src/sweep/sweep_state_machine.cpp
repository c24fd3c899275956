#include "sweep/sweep_state_machine.h"

// Filled in later with the run record.
void clearRunRecordEntryCounts() {}

// Filled in later with the sweep control state.
void requestSweepRun() {}
