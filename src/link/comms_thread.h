// The comms thread: polls the instrument, watches for silence, receives and checks reports and
// queues them in a ring that the GUI thread empties one report per loop tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "link/protocol.h"

constexpr int reportRingSize = 1000;
constexpr int pollIntervalMs = 250;
constexpr int watchdogTimeoutMs = 2000;
// The reader waits at most this long for the comms thread to leave the ring alone; it answers every pass.
constexpr int handOverTimeoutMs = 2;

// Everything here is shared between the two threads.
struct ReportRing {
    std::atomic<std::int64_t> statusWord[reportRingSize];
    std::atomic<std::int64_t> calibrationWord[reportRingSize];
    std::atomic<std::int64_t> rawIc[reportRingSize];
    std::atomic<std::int64_t> rawVc[reportRingSize];
    std::atomic<std::int64_t> rawVr[reportRingSize];
    std::atomic<std::int64_t> rawVb[reportRingSize];
    std::atomic<int> ringWriteIndex{0}; // written by the comms thread only
    std::atomic<int> ringReadIndex{0};  // written by the GUI thread only
    std::atomic<int> ringReaderBusy{0}; // GUI: about to read
    std::atomic<int> ringWriterAck{0};  // comms thread: saw the reader, left the port alone
};

struct CommsThreadState {
    // Shared between the threads.
    std::atomic<int> commsThreadRunning{0};
    std::atomic<int> commsPauseRequested{0};
    std::atomic<int> commsPaused{0};
    std::atomic<int> pendingChecksumError{-1}; // received checksum of the last bad report, for the GUI
    std::atomic<std::int64_t> reportsStored{0}; // good reports put in the ring since start-up
    std::atomic<std::int64_t> pausesHonoured{0}; // GUI writes the thread has held still for
    std::atomic<std::int64_t> commsPasses{0};    // loop passes since start-up: how often the thread woke

    // Written by the comms thread only; atomic so that they can be watched from outside.
    std::atomic<int> resyncSkipBytes{0};    // extra bytes to consume with the next report
    std::atomic<int> checksumErrorCount{0}; // bad reports since the last alignment shift

    // Comms thread only (the next thread starts after the previous one has been joined).
    std::uint8_t receiveBuffer[16384] = {};
    std::int64_t lastPollMs = 0;
};

inline ReportRing reportRing;
// Called on the comms thread when the GUI thread has news: a report in the ring, a checksum error,
// the link lost. The program installs the window system's wake-up here; tests may leave it empty.
inline std::atomic<void (*)()> guiWakeHook{nullptr};
inline CommsThreadState commsState;
// The report last taken from the ring (GUI thread).
inline Report currentReport;

// Clears the ring, its indices, the receive state and the current report; no thread may be running.
void resetCommsDefaults();

// Thread body; returns 0 when commsStopRequested is seen.
int commsThreadMain();
// Any thread: ends the comms thread's wait, so that it looks at the flags at once.
void wakeCommsThread();
// The comms thread's wait before its next pass: until the next poll or watchdog deadline, bytes on the
// port, or a wake. Returns the milliseconds it allowed (negative: no limit), for tests.
int waitForCommsWork();
void pollInstrument();
void checkWatchdog();
void receiveReport();
// Comms thread (or a stand-in for it): puts a good report into the next ring slot and publishes it.
void storeReportInRing(const Report& report);

// GUI thread: whether the ring holds a report that takeReport would take.
bool reportWaiting();
// GUI thread: takes the oldest unread report into currentReport; false when the ring is empty.
bool takeReport();

// GUI thread: holds the comms thread between its loop steps so that only one thread writes to the port.
void pauseCommsThread();
void resumeCommsThread();
bool commsThreadIsRunning();

// GUI thread: "USB error: $XXXX" for a bad report received since the last call, else empty.
std::string takeChecksumErrorText();
