// Loop tick and sweep state machine.
#pragma once

// Sets the per-step entry counts of the run record to 0.
void clearRunRecordEntryCounts();
// Raises the run request for the state machine and empties the last stop reason.
void requestSweepRun();
