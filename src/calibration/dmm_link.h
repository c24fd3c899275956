// The bench multimeter on the LAN: SCPI text over a raw TCP connection to port 5025. One connection
// serves the whole program run; every calibration window reads the meter through readDmm.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/tcp_client.h"

inline constexpr int dmmPort = 5025;
// Both bench connections give up connecting after this long.
inline constexpr int benchConnectTimeoutMs = 10000;

// Why the last reading failed.
enum class DmmFault {
    None,
    NotConnected,
    NoAnswer,       // nothing arrived within the polling window
    CutShort,       // part of an answer, without its line end
    NotANumber,     // text, trailing garbage, more than one answer
    Overload,       // the meter's overload value
    ConnectionLost, // closed or reset by the meter, or a question could not be sent
    KeepsSending,   // bytes kept coming when no question was open
};

struct DmmLink {
    TcpHandle handle = 0;       // open until the program ends, or until the meter drops it
    std::string address;        // as typed when the connection was opened
    std::string lastRange;      // the range the meter was last configured for
    double lastReading = 0.0;   // volts, amperes or ohms, as the meter reports; 0 after a failed reading
    bool readingValid = false;  // lastReading is the answer to the last question asked
    DmmFault lastFault = DmmFault::None;
    std::string cutShort;       // the start of an answer cut short: its rest, when it comes, is not an answer
    std::array<char, 65536> receiveBuffer{};
};

inline DmmLink dmmLink;

// Closes a connection left by a test and restores the start-up values.
void resetDmmLinkDefaults();

// The ranges a meter reading can be taken in, as the range lists show them ("1000V" ... "1uA"); the
// four-wire resistance range "4W" is listed separately.
const std::vector<std::string>& dmmRangeTexts();
inline constexpr const char* fourWireRange = "4W";

// Opens the connection to `host` unless one is open; false when it cannot be made.
bool connectDmm(const std::string& host);
bool dmmConnected();

// Takes one reading in `range` into dmmLink.lastReading: configures the meter when the range changed,
// asks for a reading and waits for the answer, also for the rest of an answer that comes in parts.
// Tells the user when no meter is connected. False when no reading was taken: dmmLink.lastFault says
// why, and a connection the meter has dropped is closed, so that "Connect" opens a new one.
bool readDmm(const std::string& range);

// What went wrong with the last reading, for the user: "no answer", "connection lost" ...
const char* dmmFaultText(DmmFault fault);
// "No reading from DMM at 127.0.0.1: no answer".
std::string dmmFailureMessage();

// The meter's answer as a number: sign, mantissa, exponent ("+1.23456789E-03"), then its line end.
// False for anything else (a part of an answer, text, an empty answer).
bool parseDmmReply(std::string_view reply, double& reading);
