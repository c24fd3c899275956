#include "link/register_transfer.h"

#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/serial_port.h"

void requestReport() {
    if (instrumentLink.linkConnected.load(std::memory_order_acquire) != 1) return;
    Frame frame = buildReadRequestFrame();
    writeSerialPort(frame.data(), static_cast<int>(frame.size()));
}

void sendRegisterImage() {
    // Filled in once the register image lands.
}
