// The link to the instrument: opening and closing the port with its comms thread, and the link state.
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
    std::string commsStatusText; // shown after "Com Status: "; " OK" once the connect transfer went out

    // The thread ends with the program; a joinable handle must not be destroyed.
    ~InstrumentLink();
};

inline InstrumentLink instrumentLink;

// Stops and joins any comms thread, closes the port and restores the defaults (start-up, tests).
void resetInstrumentLinkDefaults();

enum class LinkOpenOutcome {
    Opened,     // port open, linkConnected = 1, comms thread running: the caller sends the connect transfer
    PortFailed, // the port would not open; the comms thread idles until the next attempt
    CleanedUp,  // a link (or its remains after a failure or a lost device) was closed instead
};

// The "Connect" action on port `portName` ("COM" + n); after a failed or lost link it only cleans up,
// so a further call connects.
LinkOpenOutcome openInstrumentLink(const std::string& portName);
// The "Disconnect" action, also run by the watchdog on the comms thread. Sends nothing.
void closeInstrumentLink();
bool instrumentLinkConnected();
