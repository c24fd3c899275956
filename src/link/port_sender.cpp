#include "link/port_sender.h"

#include "base/elapsed_clock.h"
#include "base/log_hook.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/serial_port.h"

void sendFramesToInstrument(const std::uint8_t* bytes, std::size_t length) {
    bool threadRunning = commsThreadIsRunning();
    if (threadRunning) {
        pauseCommsThread();
        sleepMilliseconds(transferPauseMs);
    }
    if (instrumentLink.linkConnected.load(std::memory_order_acquire) == 1 && length > 0) {
        const int written = writeSerialPort(bytes, static_cast<int>(length));
        if (written != static_cast<int>(length))
            logFailure("Register transfer cut short: " + std::to_string(written) + " of " + std::to_string(length) +
                       " bytes written");
    }
    if (threadRunning) resumeCommsThread();
}

void requestReport() {
    if (instrumentLink.linkConnected.load(std::memory_order_acquire) != 1) return;
    Frame frame = buildReadRequestFrame();
    writeSerialPort(frame.data(), static_cast<int>(frame.size()));
}
