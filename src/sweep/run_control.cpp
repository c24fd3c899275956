#include "sweep/run_control.h"

#include "link/instrument_link.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_state_machine.h"

void startRun() {
    if (sweepControl.sweepState != 0 || instrumentLink.linkConnected.load(std::memory_order_acquire) != 1) return;
    prepareRun();
}

void stopRun() {
    if (sweepControl.sweepState == 0) return;
    instrumentValues.runCommand = "Stop";
    sendRegisterImage();
}

void toggleHighVoltage() {
    instrumentValues.startStopPulse = decodedStatus.hvStateBit3 == 0 ? "Start" : "Stop";
    sendRegisterImage();
}
