// The factory relay fixture on the LAN (TCP port 10002): it switches the instrument's terminals
// between the meter and the calibration resistors.
#pragma once

#include <string>
#include <vector>

#include "calibration/tcp_client.h"

inline constexpr int fixturePort = 10002;

struct FixtureLink {
    TcpHandle handle = 0;
};

inline FixtureLink fixtureLink;

void resetFixtureLinkDefaults();

// The fixture states in the order the list shows them ("BG to V" ... "All off").
const std::vector<std::string>& fixtureStateNames();

// Opens the connection to `host` unless one is open; false when it cannot be made.
bool connectFixture(const std::string& host);
bool fixtureConnected();

// Sends the state's relay command and then the command that applies it. False (nothing sent) when the
// fixture is not connected or the state is unknown.
bool setFixtureState(const std::string& state);
