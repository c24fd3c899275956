// The link to the instrument: connect, disconnect, the link state and the connection indicator.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

struct InstrumentLink {
    // Shared with the comms thread (acquire/release).
    std::atomic<int> linkConnected{0};
    std::atomic<int> commsStopRequested{0};
    std::atomic<std::int64_t> lastGoodReplyMs{0};

    // GUI thread only.
    std::thread commsThread;
    std::string commsStatusText;    // shown after "Com Status: "
    int indicatorShownState = 1;    // value of linkConnected the indicator shows; 99 forces a redraw

    // The thread ends with the program; a joinable handle must not be destroyed.
    ~InstrumentLink() {
        commsStopRequested.store(1, std::memory_order_release);
        if (commsThread.joinable()) commsThread.join();
    }
};

inline InstrumentLink instrumentLink;

// Stops and joins any comms thread, closes the port and restores the defaults (start-up, tests).
void resetInstrumentLinkDefaults();

// The "Connect" action; after a failed or lost link it only cleans up, so a further call connects.
void openInstrumentLink();
// The "Disconnect" action, also run by the watchdog on the comms thread. Sends nothing.
void closeInstrumentLink();
// The connection button: abandons any run, then disconnects or connects.
void toggleInstrumentLink();
// Shows the connected / disconnected picture and text when linkConnected changed.
void refreshConnectionIndicator();
// Loop tick: shows a checksum error handed over by the comms thread, then refreshes the indicator.
void checkForLostLink();

// Name of the port to open: "COM" + comPortNumber (KRV_ComPort).
std::string instrumentPortName();
