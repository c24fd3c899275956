#include "calibration/dmm_link.h"

#include <cmath>

#include "base/elapsed_clock.h"
#include "calibration/calibration_file.h"
#include "calibration/calibration_pacing.h"
#include "platform/platform.h"

namespace {

constexpr int settleMs = 500;
constexpr int replyPollMs = 10;
constexpr int replyWindowMs = 200;
// Clearing out what waits before a question stops here: a meter that streams is at fault.
constexpr int drainLimitMs = 100;
constexpr std::size_t drainLimitBytes = 4 * 65536;
// The meter's overload answer is +9.9E+37; nothing it can measure comes near.
constexpr double overloadReading = 9.0e37;

struct RangeCommands {
    const char* range;
    const char* configure;
    const char* setRange;
};

constexpr RangeCommands rangeCommands[] = {
    {"1000V", "CONFigure:VOLTage:DC\n", "VOLTage:DC:RANGe 1000V\n"},
    {"100V", "CONFigure:VOLTage:DC\n", "VOLTage:DC:RANGe 100V\n"},
    {"10V", "CONFigure:VOLTage:DC\n", "VOLTage:DC:RANGe 10V\n"},
    {"1V", "CONFigure:VOLTage:DC\n", "VOLTage:DC:RANGe 1V\n"},
    {"100mV", "CONFigure:VOLTage:DC\n", "VOLTage:DC:RANGe 100mV\n"},
    {"3A", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 3A\n"},
    {"1A", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 1A\n"},
    {"100mA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 100mA\n"},
    {"10mA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 10mA\n"},
    {"1mA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 1mA\n"},
    {"100uA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 100uA\n"},
    {"10uA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 10uA\n"},
    {"1uA", "CONFigure:CURRent:DC\n", "CURRent:DC:RANGe 1uA\n"},
    {"4W", "CONF:FRES\n", "FRES:NPLC 10\n"},
};

// The meter dropped the connection: let go of it, so that "Connect" opens a new one. A new connection
// may reach a meter that was reset, so its range is set again.
void dropConnection() {
    tcpClose(dmmLink.handle);
    dmmLink.handle = 0;
    dmmLink.lastRange.clear();
    dmmLink.cutShort.clear();
}

bool sendToMeter(const char* text) {
    return tcpSend(dmmLink.handle, text);
}

bool configureRange(const std::string& range) {
    for (const RangeCommands& r : rangeCommands) {
        if (range != r.range) continue;
        return sendToMeter(r.configure) && sendToMeter(r.setRange);
    }
    return true;
}

// What is waiting, appended to `text`; false when the connection is lost.
bool receiveWaiting(std::string& text) {
    const int n = tcpReceive(dmmLink.handle, dmmLink.receiveBuffer.data(), static_cast<int>(dmmLink.receiveBuffer.size()));
    if (n == tcpConnectionLost) return false;
    text.append(dmmLink.receiveBuffer.data(), static_cast<std::size_t>(n));
    return true;
}

// Drops the rest of an answer that was cut short, once its line is in: a first line that completes the
// cut-short start to a reading is that rest; anything else is the answer itself.
void dropStaleTail(std::string& text) {
    if (dmmLink.cutShort.empty()) return;
    const std::size_t end = text.find('\n');
    if (end == std::string::npos) return;
    double ignored = 0.0;
    if (parseDmmReply(dmmLink.cutShort + text.substr(0, end + 1), ignored)) text.erase(0, end + 1);
    dmmLink.cutShort.clear();
}

// Whatever is waiting before a question is asked answers an earlier one; a meter that does not stop
// sending is not given the time to hold the window.
DmmFault discardWaiting() {
    const std::int64_t start = elapsedMilliseconds();
    std::size_t discarded = 0;
    for (;;) {
        std::string got;
        if (!receiveWaiting(got)) return DmmFault::ConnectionLost;
        if (got.empty()) return DmmFault::None;
        if (got.find('\n') != std::string::npos) dmmLink.cutShort.clear();
        discarded += got.size();
        if (discarded >= drainLimitBytes || elapsedMilliseconds() - start >= drainLimitMs) return DmmFault::KeepsSending;
    }
}

// The answer: what arrives until its line end, within the polling window that starts at the first poll.
DmmFault takeAnswer(std::string& text) {
    const std::int64_t firstPoll = elapsedMilliseconds();
    for (;;) {
        if (!receiveWaiting(text)) return DmmFault::ConnectionLost;
        dropStaleTail(text);
        if (dmmLink.cutShort.empty() && text.find('\n') != std::string::npos) return DmmFault::None;
        if (elapsedMilliseconds() - firstPoll >= replyWindowMs) break;
        sleepMilliseconds(replyPollMs);
    }
    // Only the rest of an earlier answer came, or nothing.
    if (text.empty() || !dmmLink.cutShort.empty()) return DmmFault::NoAnswer;
    dmmLink.cutShort = text;
    return DmmFault::CutShort;
}

// One question and its answer; the fault when no reading came of it.
DmmFault askForReading(const std::string& range) {
    if (const DmmFault fault = discardWaiting(); fault != DmmFault::None) return fault;
    if (range != dmmLink.lastRange) {
        dmmLink.lastRange = range;
        if (!configureRange(range)) return DmmFault::ConnectionLost;
        pacedSleep(settleMs);
    }
    if (!sendToMeter("READ?\n")) return DmmFault::ConnectionLost;
    pacedSleep(settleMs);
    std::string answer;
    if (const DmmFault fault = takeAnswer(answer); fault != DmmFault::None) return fault;
    // A second line would be a second answer: which one is ours cannot be told.
    const std::size_t lineEnd = answer.find('\n');
    if (answer.find_first_not_of(" \t\r\n", lineEnd) != std::string::npos) return DmmFault::NotANumber;
    double reading = 0.0;
    if (!parseDmmReply(answer, reading)) return DmmFault::NotANumber;
    if (std::fabs(reading) >= overloadReading) return DmmFault::Overload;
    dmmLink.lastReading = reading;
    return DmmFault::None;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

void resetDmmLinkDefaults() {
    tcpClose(dmmLink.handle);
    dmmLink.handle = 0;
    dmmLink.lastRange.clear();
    dmmLink.address.clear();
    dmmLink.lastReading = 0.0;
    dmmLink.readingValid = false;
    dmmLink.lastFault = DmmFault::None;
    dmmLink.cutShort.clear();
}

const std::vector<std::string>& dmmRangeTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t;
        for (const RangeCommands& r : rangeCommands)
            if (std::string(r.range) != fourWireRange) t.emplace_back(r.range);
        return t;
    }();
    return texts;
}

bool connectDmm(const std::string& host) {
    if (dmmLink.handle != 0) return true;
    dmmLink.handle = tcpConnect(host, dmmPort, benchConnectTimeoutMs);
    if (dmmLink.handle != 0) dmmLink.address = host;
    return dmmLink.handle != 0;
}

bool dmmConnected() {
    return dmmLink.handle != 0;
}

bool parseDmmReply(std::string_view reply, double& reading) {
    const std::size_t lineEnd = reply.find('\n');
    if (lineEnd == std::string_view::npos) return false;
    const std::string_view line = reply.substr(0, lineEnd);
    double value = 0.0;
    std::size_t length = 0;
    if (!parseLeadingNumber(line, value, length)) return false;
    for (std::size_t i = length; i < line.size(); ++i)
        if (!isBlank(line[i])) return false;
    reading = value;
    return true;
}

bool readDmm(const std::string& range) {
    if (dmmLink.handle == 0) {
        dmmLink.lastFault = DmmFault::NotConnected;
        platform::messageBox("Error", "DMM not connected", platform::IconError, platform::ButtonsOk);
    } else {
        dmmLink.lastFault = askForReading(range);
        if (dmmLink.lastFault == DmmFault::ConnectionLost) dropConnection();
    }
    dmmLink.readingValid = dmmLink.lastFault == DmmFault::None;
    // A failed reading must not pass for the one before it.
    if (!dmmLink.readingValid) dmmLink.lastReading = 0.0;
    return dmmLink.readingValid;
}

const char* dmmFaultText(DmmFault fault) {
    switch (fault) {
    case DmmFault::None: return "reading taken";
    case DmmFault::NotConnected: return "not connected";
    case DmmFault::NoAnswer: return "no answer";
    case DmmFault::CutShort: return "answer cut short";
    case DmmFault::NotANumber: return "answer is not a number";
    case DmmFault::Overload: return "overload";
    case DmmFault::ConnectionLost: return "connection lost";
    case DmmFault::KeepsSending: return "meter keeps sending";
    }
    return "";
}

std::string dmmFailureMessage() {
    return "No reading from DMM at " + dmmLink.address + ": " + dmmFaultText(dmmLink.lastFault);
}
