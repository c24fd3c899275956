#include "calibration/dmm_link.h"

#include "base/elapsed_clock.h"
#include "calibration/calibration_file.h"
#include "calibration/calibration_pacing.h"
#include "platform/platform.h"

namespace {

constexpr int settleMs = 500;
constexpr int replyPollMs = 10;
constexpr int replyWindowMs = 200;

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

void configureRange(const std::string& range) {
    for (const RangeCommands& r : rangeCommands) {
        if (range != r.range) continue;
        tcpSend(dmmLink.handle, r.configure);
        tcpSend(dmmLink.handle, r.setRange);
        return;
    }
}

std::string_view receiveWaiting() {
    const int n = tcpReceive(dmmLink.handle, dmmLink.receiveBuffer.data(), static_cast<int>(dmmLink.receiveBuffer.size()));
    return std::string_view(dmmLink.receiveBuffer.data(), static_cast<std::size_t>(n));
}

// Drops the rest of an answer that was cut short, up to its line end.
void dropStaleTail(std::string& text) {
    if (!dmmLink.staleTailExpected) return;
    const std::size_t end = text.find('\n');
    if (end == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(0, end + 1);
    dmmLink.staleTailExpected = false;
}

// Whatever is waiting before a question is asked answers an earlier one.
void discardWaiting() {
    for (std::string_view got = receiveWaiting(); !got.empty(); got = receiveWaiting()) {
        if (got.find('\n') != std::string_view::npos) dmmLink.staleTailExpected = false;
    }
}

// The answer: what arrives until its line end, within the polling window that starts at the first poll.
std::string takeAnswer() {
    std::string text;
    const std::int64_t firstPoll = elapsedMilliseconds();
    for (;;) {
        text.append(receiveWaiting());
        dropStaleTail(text);
        if (text.find('\n') != std::string::npos) return text;
        if (elapsedMilliseconds() - firstPoll >= replyWindowMs) break;
        sleepMilliseconds(replyPollMs);
    }
    if (!text.empty()) dmmLink.staleTailExpected = true;
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

void resetDmmLinkDefaults() {
    tcpClose(dmmLink.handle);
    dmmLink.handle = 0;
    dmmLink.lastRange.clear();
    dmmLink.lastReading = 0.0;
    dmmLink.staleTailExpected = false;
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
    if (dmmLink.handle == 0) dmmLink.handle = tcpConnect(host, dmmPort, benchConnectTimeoutMs);
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

void readDmm(const std::string& range) {
    if (dmmLink.handle == 0) {
        platform::messageBox("Error", "DMM not connected", platform::IconError, platform::ButtonsOk);
        return;
    }
    discardWaiting();
    if (range != dmmLink.lastRange) {
        dmmLink.lastRange = range;
        configureRange(range);
        pacedSleep(settleMs);
    }
    tcpSend(dmmLink.handle, "READ?\n");
    pacedSleep(settleMs);
    parseDmmReply(takeAnswer(), dmmLink.lastReading);
}
