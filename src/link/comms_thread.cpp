// How the GUI thread and the comms thread meet.
//
// 1. Writers. The comms thread alone writes ringWriteIndex, the ring slots, ringWriterAck, commsPaused,
//    lastGoodReplyMs, pendingChecksumError, reportsStored and its receive state. The GUI thread alone
//    writes ringReadIndex, ringReaderBusy and commsPauseRequested. linkConnected is set by the GUI on
//    connect and cleared by either thread; commsStopRequested is set by whichever thread closes the link
//    (the GUI, or the comms thread's watchdog) and cleared by the GUI before it starts a thread.
// 2. Publishing. The comms thread writes all six fields of the next slot, then stores ringWriteIndex with
//    release ordering; the GUI loads ringWriteIndex with acquire ordering before it reads that slot, so
//    a slot is never seen half-written. The ring has one producer and one consumer.
// 3. Hand-over. To take a report the GUI waits until ringWriterAck is 0 (the writer has seen the previous
//    take end), sets ringReaderBusy, wakes the thread and waits until ringWriterAck is 1; after the take
//    it clears ringReaderBusy and wakes the thread again. The comms thread copies ringReaderBusy into
//    ringWriterAck on every pass and, while it is 1, neither reads the port nor touches the ring on that
//    pass. Each wait lasts one wake-up of the thread, at most handOverTimeoutMs. With no comms thread
//    running nobody writes the ring and the GUI takes without waiting.
// 4. Pause. Around every write to the port the GUI sets commsPauseRequested, wakes the thread and waits
//    for commsPaused; the comms thread acknowledges between its loop steps and sleeps there until the
//    request is cleared (with a wake) or a stop is requested, so only one thread writes to the port.
// 5. Checksum errors found on the comms thread are handed to the GUI through pendingChecksumError; only
//    the GUI thread touches controls.
// 6. Sleeping. Between passes the comms thread sleeps until the next poll (lastPollMs + pollIntervalMs),
//    the watchdog deadline, bytes arriving on the port, or a wake. Every flag the GUI sets for it (stop,
//    pause and resume, connect, reader busy and done) is followed by wakeCommsThread; the thread drains
//    the wake before it looks at the flags, so a wake is never lost. While the reader holds the ring or
//    a report has only partly arrived the port is not watched (it would wake at once) and the thread
//    looks again after 1 ms. Whatever the GUI should see (a stored report, a checksum error, the link
//    lost) is followed by guiWakeHook, which ends the GUI's wait for window events.
#include "link/comms_thread.h"

#include <cstdio>
#include <thread>

#include "base/elapsed_clock.h"
#include "base/log_hook.h"
#include "link/instrument_link.h"
#include "link/port_sender.h"
#include "link/serial_port.h"

namespace {

constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;
constexpr auto relaxed = std::memory_order_relaxed;

int nextRingIndex(int i) {
    return i == reportRingSize - 1 ? 0 : i + 1;
}

// Slices of the wait while the port cannot be watched (the reader holds the ring, or half a report is in).
constexpr int shortWaitMs = 1;

void wakeGui() {
    if (void (*hook)() = guiWakeHook.load(acquire)) hook();
}

// Holds the thread between two loop steps while the GUI writes to the port.
void honourPauseRequest() {
    if (commsState.commsPauseRequested.load(acquire) == 0) return;
    commsState.commsPaused.store(1, release);
    commsState.pausesHonoured.fetch_add(1, release);
    while (commsState.commsPauseRequested.load(acquire) != 0 &&
           instrumentLink.commsStopRequested.load(acquire) == 0)
        waitSerialPortOrWake(-1, false);
    commsState.commsPaused.store(0, release);
}

std::int64_t earlier(std::int64_t a, std::int64_t b) {
    return a < b ? a : b;
}

// Reads exactly n bytes that the driver already holds.
void readAvailable(std::uint8_t* into, int n) {
    int got = 0;
    while (got < n) {
        int r = readSerialPort(into + got, n - got);
        if (r <= 0) break;
        got += r;
    }
}

// Spins (the wait is about one pass of the comms thread) until `done` or the hand-over time has passed.
template <typename Condition>
void waitForWriter(std::int64_t start, Condition done) {
    while (!done() && elapsedMilliseconds() - start <= handOverTimeoutMs) std::this_thread::yield();
}

// The reader's announcement and the writer's answer. An answer still standing from the previous take
// is not an answer to this one, so the reader first waits for the writer to have seen that take end.
void holdWriterOffTheRing() {
    const std::int64_t start = elapsedMilliseconds();
    waitForWriter(start, [] { return reportRing.ringWriterAck.load(acquire) == 0; });
    reportRing.ringReaderBusy.store(1, release);
    wakeCommsThread();
    waitForWriter(start, [] { return reportRing.ringWriterAck.load(acquire) != 0; });
}

} // namespace

void storeReportInRing(const Report& r) {
    int slot = nextRingIndex(reportRing.ringWriteIndex.load(relaxed));
    reportRing.statusWord[slot].store(r.statusWord, relaxed);
    reportRing.calibrationWord[slot].store(r.calibrationWord, relaxed);
    reportRing.rawIc[slot].store(r.rawIc, relaxed);
    reportRing.rawVc[slot].store(r.rawVc, relaxed);
    reportRing.rawVr[slot].store(r.rawVr, relaxed);
    reportRing.rawVb[slot].store(r.rawVb, relaxed);
    // Publishing the index releases the slot's values to the reader.
    reportRing.ringWriteIndex.store(slot, release);
    commsState.reportsStored.fetch_add(1, release);
    wakeGui();
}

void resetCommsDefaults() {
    for (int i = 0; i < reportRingSize; ++i) {
        reportRing.statusWord[i].store(0, relaxed);
        reportRing.calibrationWord[i].store(0, relaxed);
        reportRing.rawIc[i].store(0, relaxed);
        reportRing.rawVc[i].store(0, relaxed);
        reportRing.rawVr[i].store(0, relaxed);
        reportRing.rawVb[i].store(0, relaxed);
    }
    reportRing.ringWriteIndex.store(0, release);
    reportRing.ringReadIndex.store(0, release);
    reportRing.ringReaderBusy.store(0, release);
    reportRing.ringWriterAck.store(0, release);
    commsState.commsPauseRequested.store(0, release);
    commsState.commsPaused.store(0, release);
    commsState.pendingChecksumError.store(-1, release);
    commsState.reportsStored.store(0, release);
    commsState.pausesHonoured.store(0, release);
    commsState.commsPasses.store(0, release);
    commsState.resyncSkipBytes.store(0, relaxed);
    commsState.checksumErrorCount.store(0, relaxed);
    commsState.lastPollMs = 0;
    currentReport = Report{};
}

int commsThreadMain() {
    while (instrumentLink.commsStopRequested.load(acquire) == 0) {
        honourPauseRequest();
        waitForCommsWork();
        commsState.commsPasses.fetch_add(1, relaxed);
        if (instrumentLink.commsStopRequested.load(acquire) != 0) break;
        pollInstrument();
        checkWatchdog();
        receiveReport();
    }
    commsState.commsThreadRunning.store(0, release);
    return 0;
}

void wakeCommsThread() {
    wakeSerialPortWait();
}

int waitForCommsWork() {
    if (instrumentLink.commsStopRequested.load(acquire) != 0 || commsState.commsPauseRequested.load(acquire) != 0)
        return 0;
    // An answer to the reader that no longer stands (or a new take) wants a pass now.
    if (reportRing.ringWriterAck.load(acquire) != reportRing.ringReaderBusy.load(acquire)) return 0;
    if (instrumentLink.linkConnected.load(acquire) != 1) {
        waitSerialPortOrWake(-1, false);
        return -1;
    }
    const std::int64_t due = earlier(commsState.lastPollMs + pollIntervalMs,
                                     instrumentLink.lastGoodReplyMs.load(acquire) + watchdogTimeoutMs + 1);
    std::int64_t timeout = due - elapsedMilliseconds();
    if (timeout <= 0) return 0;
    const int wanted = static_cast<int>(reportSize) + commsState.resyncSkipBytes.load(relaxed);
    const int available = serialBytesAvailable();
    if (available >= wanted && reportRing.ringReaderBusy.load(acquire) == 0) return 0;
    const bool watchPort = available == 0 && reportRing.ringReaderBusy.load(acquire) == 0;
    if (!watchPort) timeout = earlier(timeout, shortWaitMs);
    waitSerialPortOrWake(static_cast<int>(timeout), watchPort);
    return static_cast<int>(timeout);
}

void pollInstrument() {
    if (instrumentLink.linkConnected.load(acquire) != 1) return;
    std::int64_t now = elapsedMilliseconds();
    if (now < commsState.lastPollMs + pollIntervalMs) return;
    commsState.lastPollMs = now;
    requestReport();
}

void checkWatchdog() {
    if (instrumentLink.linkConnected.load(acquire) != 1) return;
    if (elapsedMilliseconds() <= instrumentLink.lastGoodReplyMs.load(acquire) + watchdogTimeoutMs) return;
    closeInstrumentLink();
    wakeGui();
}

void receiveReport() {
    // Every pass answers the reader at once, so a take never waits for a further report to arrive.
    const int ack = reportRing.ringReaderBusy.load(acquire);
    reportRing.ringWriterAck.store(ack, release);
    if (ack != 0 || instrumentLink.linkConnected.load(acquire) != 1) return;
    if (!serialPortIsOpen()) {
        instrumentLink.linkConnected.store(0, release);
        wakeGui();
        return;
    }
    int available = serialBytesAvailable();
    int wanted = static_cast<int>(reportSize) + commsState.resyncSkipBytes.load(relaxed);
    if (available < wanted) return;
    readAvailable(commsState.receiveBuffer, wanted);
    commsState.resyncSkipBytes.store(0, relaxed);
    DecodedReport decoded = decodeReport(commsState.receiveBuffer);
    if (decoded.checksumOk) {
        instrumentLink.lastGoodReplyMs.store(elapsedMilliseconds(), release);
        storeReportInRing(decoded.report);
        return;
    }
    commsState.pendingChecksumError.store(decoded.receivedChecksum, release);
    wakeGui();
    // Every second failure shifts the byte alignment by one until reports pass again.
    if (commsState.checksumErrorCount.fetch_add(1, relaxed) + 1 == 2) {
        commsState.checksumErrorCount.store(0, relaxed);
        commsState.resyncSkipBytes.fetch_add(1, relaxed);
        logFailure("Reports fail their checksum; shifting the byte alignment by one");
    }
}

bool reportWaiting() {
    return reportRing.ringWriteIndex.load(acquire) != reportRing.ringReadIndex.load(relaxed);
}

bool takeReport() {
    int readIndex = reportRing.ringReadIndex.load(relaxed);
    if (reportRing.ringWriteIndex.load(acquire) == readIndex) return false;
    const bool threadRunning = commsThreadIsRunning();
    if (threadRunning) holdWriterOffTheRing();
    readIndex = nextRingIndex(readIndex);
    reportRing.ringReadIndex.store(readIndex, release);
    currentReport.statusWord = reportRing.statusWord[readIndex].load(relaxed);
    currentReport.calibrationWord = reportRing.calibrationWord[readIndex].load(relaxed);
    currentReport.rawIc = reportRing.rawIc[readIndex].load(relaxed);
    currentReport.rawVc = reportRing.rawVc[readIndex].load(relaxed);
    currentReport.rawVr = reportRing.rawVr[readIndex].load(relaxed);
    currentReport.rawVb = reportRing.rawVb[readIndex].load(relaxed);
    reportRing.ringReaderBusy.store(0, release);
    if (threadRunning) wakeCommsThread();
    return true;
}

bool commsThreadIsRunning() {
    return commsState.commsThreadRunning.load(acquire) != 0;
}

void pauseCommsThread() {
    if (!commsThreadIsRunning()) return;
    commsState.commsPauseRequested.store(1, release);
    wakeCommsThread();
    // The thread acknowledges between loop steps; one that is ending never will.
    std::int64_t start = elapsedMilliseconds();
    while (commsState.commsPaused.load(acquire) == 0 && commsThreadIsRunning() &&
           elapsedMilliseconds() - start < 250)
        std::this_thread::yield();
}

void resumeCommsThread() {
    commsState.commsPauseRequested.store(0, release);
    wakeCommsThread();
}

std::string takeChecksumErrorText() {
    int received = commsState.pendingChecksumError.exchange(-1, std::memory_order_acq_rel);
    if (received < 0) return std::string();
    char text[24];
    std::snprintf(text, sizeof text, "USB error: $%04X", static_cast<unsigned>(received));
    return text;
}
