#include "sweep/instrument_connection.h"

#include "base/elapsed_clock.h"
#include "base/system_settings.h"
#include "link/register_transfer.h"
#include "sweep/instrument_values.h"

std::string instrumentPortName() {
    return "COM" + std::to_string(systemSettings.comPortNumber);
}

LinkOpenOutcome connectInstrument() {
    const LinkOpenOutcome outcome = openInstrumentLink(instrumentPortName());
    if (outcome != LinkOpenOutcome::Opened) return outcome;
    transferRequests.connectInitPending = 1;
    instrumentValues.runCommand = "Idle";
    instrumentValues.startStopPulse = "Off";
    instrumentValues.hvCommand = "On";
    instrumentValues.idleDacCounts = 0;
    instrumentValues.activeDacCounts = 0;
    sendRegisterImage();
    // The instrument takes its initialisation before it answers the first poll.
    sleepMilliseconds(100);
    instrumentLink.commsStatusText = " OK";
    return outcome;
}
