#include "app/link_actions.h"

#include "base/messages.h"
#include "display/connection_indicator.h"
#include "link/instrument_link.h"
#include "sweep/instrument_connection.h"
#include "sweep/sweep_state_machine.h"

void connectToInstrument() {
    if (connectInstrument() == LinkOpenOutcome::PortFailed)
        showMessage("Warning #xxxx USB/COM service unable to start - Please check instrument is connected via USB and "
                    "COM port number is correct.");
    forceConnectionIndicatorRedraw();
}

void disconnectFromInstrument() {
    closeInstrumentLink();
}

void toggleInstrumentLink() {
    abandonRun();
    if (instrumentLinkConnected())
        disconnectFromInstrument();
    else
        connectToInstrument();
}
