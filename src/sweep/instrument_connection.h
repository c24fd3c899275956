// Connecting to the instrument: the link opened on the configured port, then the first settings
// transfer that initialises the instrument and switches the high voltage on.
#pragma once

#include "link/instrument_link.h"

// Name of the port to open: "COM" + KRV_ComPort.
std::string instrumentPortName();

// Opens the link on instrumentPortName(); once open, sends the connect transfer with the run idle, the
// pulse off, the high voltage on and both DAC counts at 0. The caller tells the user about a failure.
LinkOpenOutcome connectInstrument();
