#include "sweep/run_control.h"

#include "link/instrument_link.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_state_machine.h"

bool startRun() {
    if (!sweepIsIdle() || !instrumentLinkConnected()) return false;
    prepareRun();
    return true;
}

void stopRun() {
    if (sweepIsIdle()) return;
    instrumentValues.runCommand = "Stop";
    sendRegisterImage();
}

void toggleHighVoltage() {
    instrumentValues.startStopPulse = decodedStatus.hvStateBit3 == 0 ? "Start" : "Stop";
    sendRegisterImage();
}
