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

struct DmmLink {
    TcpHandle handle = 0;       // never closed once open: it lives until the program ends
    std::string lastRange;      // the range the meter was last configured for
    double lastReading = 0.0;   // volts, amperes or ohms, as the meter reports
    bool staleTailExpected = false; // an answer was cut short: its rest, when it comes, is not an answer
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
// Tells the user when no meter is connected; a missing, partial or unreadable answer leaves the last
// reading as it was.
void readDmm(const std::string& range);

// The meter's answer as a number: sign, mantissa, exponent ("+1.23456789E-03"), then its line end.
// False for anything else (a part of an answer, text, an empty answer).
bool parseDmmReply(std::string_view reply, double& reading);
