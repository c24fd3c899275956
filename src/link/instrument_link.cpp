#include "link/instrument_link.h"

#include "app/elapsed_clock.h"
#include "app/messages.h"
#include "app/shell_state.h"
#include "link/comms_thread.h"
#include "link/port_sender.h"
#include "link/register_transfer.h"
#include "link/serial_port.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_state_machine.h"
#include "ui/platform/platform.h"

namespace {

constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;

constexpr int connectionImageControl = 61;
constexpr int statusTextControl = 62;
constexpr int connectedImage = 387;
constexpr int disconnectedImage = 388;

// A thread that has left its loop is joined here so that a new one can take the handle.
void joinEndedCommsThread() {
    if (instrumentLink.commsThread.joinable() && !commsThreadIsRunning()) instrumentLink.commsThread.join();
}

void startCommsThread() {
    joinEndedCommsThread();
    instrumentLink.commsStopRequested.store(0, release);
    commsState.commsThreadRunning.store(1, release);
    instrumentLink.commsThread = std::thread([] { commsThreadMain(); });
}

bool openInstrumentPort() {
    return openSerialPort(instrumentPortName(), 115200, 8, ParityNone, 1, HandshakeNone, 250000, 250000);
}

} // namespace

void resetInstrumentLinkDefaults() {
    instrumentLink.commsStopRequested.store(1, release);
    if (instrumentLink.commsThread.joinable()) instrumentLink.commsThread.join();
    commsState.commsThreadRunning.store(0, release);
    closeSerialPort();
    instrumentLink.linkConnected.store(0, release);
    instrumentLink.commsStopRequested.store(0, release);
    instrumentLink.lastGoodReplyMs.store(0, release);
    instrumentLink.commsStatusText.clear();
    instrumentLink.indicatorShownState = 1;
    frameSender = sendFramesToInstrument;
}

std::string instrumentPortName() {
    return "COM" + std::to_string(shell.comPortNumber);
}

void openInstrumentLink() {
    instrumentLink.lastGoodReplyMs.store(elapsedMilliseconds(), release);
    if (instrumentLink.linkConnected.load(acquire) != 0 || commsThreadIsRunning() || serialPortIsOpen()) {
        closeInstrumentLink();
        return;
    }
    startCommsThread();
    if (openInstrumentPort()) {
        instrumentLink.linkConnected.store(1, release);
        sleepMilliseconds(100);
        transferRequests.connectInitPending = 1;
        instrumentValues.runCommand = "Idle";
        instrumentValues.startStopPulse = "Off";
        instrumentValues.hvCommand = "On";
        instrumentValues.idleDacCounts = 0;
        instrumentValues.activeDacCounts = 0;
        sendRegisterImage();
        sleepMilliseconds(100);
        instrumentLink.commsStatusText = " OK";
    } else {
        showMessage("Warning #xxxx USB/COM service unable to start - Please check instrument is connected via USB and "
                    "COM port number is correct.");
    }
    instrumentLink.indicatorShownState = 99;
}

void closeInstrumentLink() {
    instrumentLink.commsStopRequested.store(1, release);
    sleepMilliseconds(100);
    // Also releases a port whose device has gone, so the next open starts clean.
    closeSerialPort();
    instrumentLink.linkConnected.store(0, release);
}

void toggleInstrumentLink() {
    sweepControl.sweepState = 0;
    if (instrumentLink.linkConnected.load(acquire) == 1)
        closeInstrumentLink();
    else
        openInstrumentLink();
}

void refreshConnectionIndicator() {
    int connected = instrumentLink.linkConnected.load(acquire);
    if (connected == instrumentLink.indicatorShownState) return;
    instrumentLink.indicatorShownState = connected;
    const platform::Image* picture = platform::numberedImage(connected == 1 ? connectedImage : disconnectedImage);
    if (picture && platform::controlExists(connectionImageControl))
        platform::setControlImage(connectionImageControl, *picture);
    if (connected != 1 && platform::controlExists(statusTextControl))
        platform::setControlText(statusTextControl, " USB disconnected");
}

void checkForLostLink() {
    std::string error = takeChecksumErrorText();
    if (!error.empty() && platform::controlExists(statusTextControl)) platform::setControlText(statusTextControl, error);
    refreshConnectionIndicator();
}
