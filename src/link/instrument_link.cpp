#include "base/thread_signal_stack.h"
#include "link/instrument_link.h"

#include "base/elapsed_clock.h"
#include "base/log_hook.h"
#include "link/comms_thread.h"
#include "link/port_sender.h"
#include "link/register_transfer.h"
#include "link/serial_port.h"

namespace {

constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;

// A thread that has left its loop is joined here so that a new one can take the handle.
void joinEndedCommsThread() {
    if (instrumentLink.commsThread.joinable() && !commsThreadIsRunning()) instrumentLink.commsThread.join();
}

void startCommsThread() {
    joinEndedCommsThread();
    instrumentLink.commsStopRequested.store(0, release);
    commsState.commsThreadRunning.store(1, release);
    instrumentLink.commsThread = std::thread([] {
        useAlternateSignalStack();
        commsThreadMain();
    });
}

bool openInstrumentPort(const std::string& portName) {
    return openSerialPort(portName, 115200, 8, ParityNone, 1, HandshakeNone, 250000, 250000);
}

} // namespace

InstrumentLink::~InstrumentLink() {
    commsStopRequested.store(1, release);
    wakeCommsThread();
    if (commsThread.joinable()) commsThread.join();
}

void resetInstrumentLinkDefaults() {
    instrumentLink.commsStopRequested.store(1, release);
    wakeCommsThread();
    if (instrumentLink.commsThread.joinable()) instrumentLink.commsThread.join();
    commsState.commsThreadRunning.store(0, release);
    closeSerialPort();
    instrumentLink.linkConnected.store(0, release);
    instrumentLink.commsStopRequested.store(0, release);
    instrumentLink.lastGoodReplyMs.store(0, release);
    instrumentLink.commsStatusText.clear();
    frameSender = sendFramesToInstrument;
}

LinkOpenOutcome openInstrumentLink(const std::string& portName) {
    instrumentLink.lastGoodReplyMs.store(elapsedMilliseconds(), release);
    if (instrumentLink.linkConnected.load(acquire) != 0 || commsThreadIsRunning() || serialPortIsOpen()) {
        closeInstrumentLink();
        return LinkOpenOutcome::CleanedUp;
    }
    startCommsThread();
    if (!openInstrumentPort(portName)) {
        logFailure("Serial port " + portName + " would not open: " + serialPortLastError());
        return LinkOpenOutcome::PortFailed;
    }
    instrumentLink.linkConnected.store(1, release);
    wakeCommsThread();
    sleepMilliseconds(100);
    return LinkOpenOutcome::Opened;
}

void closeInstrumentLink() {
    instrumentLink.commsStopRequested.store(1, release);
    wakeCommsThread();
    sleepMilliseconds(100);
    // Also releases a port whose device has gone, so the next open starts clean.
    closeSerialPort();
    instrumentLink.linkConnected.store(0, release);
}

bool instrumentLinkConnected() {
    return instrumentLink.linkConnected.load(acquire) == 1;
}
