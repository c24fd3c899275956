// The RUN, STOP and high-voltage buttons of the status panel (the connection button is
// toggleInstrumentLink).
#pragma once

// RUN (control 278): prepares a run when idle and connected and returns true; otherwise does nothing.
bool startRun();
// STOP (control 279): asks the instrument to abandon the ramp while a run is in progress.
void stopRun();
// High voltage (control 274): switches the supply on or off by the last reported state.
void toggleHighVoltage();
